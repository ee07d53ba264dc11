#pragma once
// The pause after a broken definition block: the author gets to read the
// message before loading goes on. The script reader is given the wait it
// uses; this one is the player's.

// Waits for one key press when standard input is a terminal and the player
// is its foreground job. Returns at once when it is not (redirected, piped,
// closed, or a background job), so unattended runs never hang. Once a
// handled signal (Ctrl-C) has ended a wait, later waits return at once.
void waitForConsoleKey();
