#pragma once
// Error messages of the window layer.

// Writes "Error!: <text>" to standard error and, when dialogs are allowed,
// shows the text in a box with the caption "Error!" as well.
void showErrorMessage(const char* text);
// The box alone, for a failure already reported on standard error.
void showErrorDialog(const char* text);
// Dialogs are shown whenever the player runs on a real display, so a player
// started from a desktop launcher reports its errors where they are seen;
// never after forbidDialogs (capture and benchmark runs) or with
// QUARN_NO_DIALOGS set (tests), so unattended runs never block.
bool dialogsAllowed();
void forbidDialogs();
