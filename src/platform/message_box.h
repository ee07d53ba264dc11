#pragma once
// Error messages of the window layer.

// Writes "Error!: <text>" to standard error and, when someone can answer it,
// shows a box with the caption "Error!". A box is shown only when standard
// input is a terminal and QUARN_NO_DIALOGS is unset, so unattended runs
// never block.
void showErrorMessage(const char* text);
bool dialogsAllowed();
