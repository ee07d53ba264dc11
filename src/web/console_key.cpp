// A page has no console to press a key on (reading one would open a
// prompt()): after a broken script block loading goes on at once, and the
// message stays in the page.
#include "framework/key_press.h"

void waitForConsoleKey() {}
