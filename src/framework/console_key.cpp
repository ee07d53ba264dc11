// The console's key wait: raw terminal mode and signal handling, which only
// a desktop has (the browser build links its own in src/web/).
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <iterator>

#include "framework/key_press.h"

namespace {

// Signals that end the wait: the terminal is restored before they take
// their usual course, so the user's shell never stays without echo.
constexpr int endingSignals[] = {SIGINT, SIGTERM, SIGQUIT};
volatile sig_atomic_t caughtSignal = 0;
// Set when a signal ended a wait and the player lived on (a handler took the
// signal, such as the window system's quit request): the user asked to stop,
// so no later wait holds the player up.
bool stopRequested = false;

void noteSignal(int signal) { caughtSignal = signal; }

// Raw terminal and the signal handlers, undone on every way out of the wait.
class RawTerminal {
public:
    RawTerminal() {
        sigset_t ending;
        sigemptyset(&ending);
        for (int signal : endingSignals) sigaddset(&ending, signal);
        // Blocked outside ppoll, so a signal cannot slip in between a check
        // and the wait.
        sigprocmask(SIG_BLOCK, &ending, &savedMask);
        caughtSignal = 0;
        struct sigaction note {};
        note.sa_handler = noteSignal;
        sigemptyset(&note.sa_mask);
        for (size_t i = 0; i < std::size(endingSignals); ++i) sigaction(endingSignals[i], &note, &savedActions[i]);

        haveSettings = tcgetattr(STDIN_FILENO, &saved) == 0;
        if (!haveSettings) return;
        termios raw = saved;
        raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
        raw.c_cc[VMIN] = 1;
        raw.c_cc[VTIME] = 0;
        tcsetattr(STDIN_FILENO, TCSANOW, &raw);
    }

    ~RawTerminal() {
        if (haveSettings) tcsetattr(STDIN_FILENO, TCSANOW, &saved);
        for (size_t i = 0; i < std::size(endingSignals); ++i) sigaction(endingSignals[i], &savedActions[i], nullptr);
        const int signal = caughtSignal;
        // The signal goes on to what was there before (the default ends the
        // process); it is delivered as soon as the mask is restored.
        if (signal != 0) {
            stopRequested = true;
            raise(signal);
        }
        sigprocmask(SIG_SETMASK, &savedMask, nullptr);
    }

    RawTerminal(const RawTerminal&) = delete;
    RawTerminal& operator=(const RawTerminal&) = delete;

    const sigset_t* waitMask() const { return &savedMask; }

private:
    termios saved{};
    bool haveSettings = false;
    sigset_t savedMask{};
    struct sigaction savedActions[std::size(endingSignals)]{};
};

}  // namespace

void waitForConsoleKey() {
    if (isatty(STDIN_FILENO) == 0 || stopRequested) return;
    // A background job that changed the terminal's settings or read from it
    // would be stopped (SIGTTOU, SIGTTIN): it goes on as without a terminal.
    if (tcgetpgrp(STDIN_FILENO) != getpgrp()) return;
    std::fflush(stdout);
    // One key, not one line: no line buffering and no echo while waiting.
    RawTerminal terminal;
    pollfd input{STDIN_FILENO, POLLIN, 0};
    while (caughtSignal == 0) {
        const int ready = ppoll(&input, 1, nullptr, terminal.waitMask());
        if (ready < 0 && errno == EINTR) continue;
        if (ready < 0) return;
        char key = 0;
        if (read(STDIN_FILENO, &key, 1) >= 0 || errno != EINTR) return;
    }
}
