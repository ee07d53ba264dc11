#include "framework/key_press.h"

#include <cerrno>
#include <cstdio>
#include <termios.h>
#include <unistd.h>

#include "platform/player_context.h"

void waitForKeyPress()
{
    if (auto wait = playerContext().waitForKey) {
        wait();
    } else {
        waitForConsoleKey();
    }
}

void waitForConsoleKey()
{
    if (isatty(STDIN_FILENO) == 0) return;
    std::fflush(stdout);
    // One key, not one line: switch off line buffering and echo while waiting.
    termios saved{};
    const bool haveSettings = tcgetattr(STDIN_FILENO, &saved) == 0;
    if (haveSettings) {
        termios raw = saved;
        raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
        raw.c_cc[VMIN] = 1;
        raw.c_cc[VTIME] = 0;
        tcsetattr(STDIN_FILENO, TCSANOW, &raw);
    }
    char key = 0;
    ssize_t got = 0;
    do {
        got = read(STDIN_FILENO, &key, 1);
    } while (got < 0 && errno == EINTR);
    if (haveSettings) tcsetattr(STDIN_FILENO, TCSANOW, &saved);
}
