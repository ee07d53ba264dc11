#include "framework/key_press.h"

#include "platform/player_context.h"

void waitForKeyPress() {
    if (auto wait = playerContext().waitForKey) {
        wait();
    } else {
        waitForConsoleKey();
    }
}
