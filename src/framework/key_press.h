#pragma once
// The pause after a broken definition block: the author gets to read the
// message before loading goes on.

// Calls the installed wait (by default waitForConsoleKey).
void waitForKeyPress();

// Waits for one key press when standard input is a terminal. Returns at once
// when it is not (redirected, piped or closed), so unattended runs never hang.
void waitForConsoleKey();

// Installs another wait (tests count calls instead of blocking); returns the
// previous one. Null restores waitForConsoleKey.
using KeyPressWait = void (*)();
KeyPressWait setKeyPressWait(KeyPressWait wait);
