#pragma once
// The pause after a broken definition block: the author gets to read the
// message before loading goes on.

// Calls the player context's wait, by default waitForConsoleKey (tests
// count calls instead of blocking).
void waitForKeyPress();

// Waits for one key press when standard input is a terminal. Returns at once
// when it is not (redirected, piped or closed), so unattended runs never hang.
void waitForConsoleKey();
