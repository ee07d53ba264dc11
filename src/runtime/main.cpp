// Entry point; the frame loop and window come with the platform layer.
int main() { return 0; }
