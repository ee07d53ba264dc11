// The key wait on a real pseudo-terminal: however it ends, the terminal gets
// its echo and line editing back.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "framework/key_press.h"

namespace {

volatile sig_atomic_t handlerRuns = 0;

// A child waiting for a key on the slave side of a new terminal; the test
// keeps the master and its own view of the slave.
struct WaitingChild {
    pid_t pid = -1;
    int master = -1;
    int slave = -1;
    int waitStarts = -1;  // read end: one byte from the child before each wait

    ~WaitingChild() {
        if (pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        if (slave >= 0) close(slave);
        if (master >= 0) close(master);
        if (waitStarts >= 0) close(waitStarts);
    }

    // withHandler: SIGINT is caught first, as the window system's library
    // does, with SA_RESTART semantics; the child's status is then 3 for
    // one run of the handler. waits: how many waits the child makes one
    // after another, as the script reader does for several broken blocks.
    void start(bool withHandler, int waits = 1) {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(master, 0);
        ASSERT_EQ(grantpt(master), 0);
        ASSERT_EQ(unlockpt(master), 0);
        const std::string name = ptsname(master);
        slave = open(name.c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(slave, 0);
        int starts[2];
        ASSERT_EQ(pipe(starts), 0);
        pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            const rlimit noCore{0, 0};
            setrlimit(RLIMIT_CORE, &noCore);
            setsid();
            const int terminal = open(name.c_str(), O_RDWR);
            if (terminal < 0 || dup2(terminal, STDIN_FILENO) < 0) _exit(10);
            if (withHandler) signal(SIGINT, [](int) { handlerRuns = handlerRuns + 1; });
            for (int i = 0; i < waits; ++i) {
                const char wait = char('0' + i);
                if (write(starts[1], &wait, 1) != 1) _exit(11);
                waitForConsoleKey();
            }
            _exit(withHandler ? 2 + handlerRuns : 0);
        }
        close(starts[1]);
        waitStarts = starts[0];
        ASSERT_NO_FATAL_FAILURE(awaitWait(0));
    }

    // Returns once wait number `wait` (from 0) holds the terminal.
    void awaitWait(int wait) {
        char started = 0;
        while (started != char('0' + wait)) ASSERT_EQ(read(waitStarts, &started, 1), 1) << "no wait " << wait;
        // The previous wait gave echo back before this one began.
        for (int i = 0; i < 5000 && echoing(); ++i) usleep(1000);
        ASSERT_FALSE(echoing()) << "wait " << wait << " never switched the terminal";
    }

    bool echoing() const {
        termios settings{};
        tcgetattr(slave, &settings);
        return (settings.c_lflag & ECHO) != 0 && (settings.c_lflag & ICANON) != 0;
    }

    // The child's wait status, or -1 if it is still waiting after 5 s.
    int finish() {
        for (int i = 0; i < 5000; ++i) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) {
                pid = -1;
                return status;
            }
            usleep(1000);
        }
        return -1;
    }
};

TEST(KeyPressOnATerminal, EveryWayOutRestoresTheTerminal) {
    {
        WaitingChild child;
        ASSERT_NO_FATAL_FAILURE(child.start(false));
        ASSERT_EQ(write(child.master, "k", 1), 1);
        const int status = child.finish();
        ASSERT_TRUE(WIFEXITED(status)) << status;
        EXPECT_EQ(WEXITSTATUS(status), 0);
        EXPECT_TRUE(child.echoing()) << "after a key";
    }
    for (int signal : {SIGINT, SIGTERM, SIGQUIT}) {
        WaitingChild child;
        ASSERT_NO_FATAL_FAILURE(child.start(false));
        kill(child.pid, signal);
        const int status = child.finish();
        ASSERT_TRUE(WIFSIGNALED(status)) << "signal " << signal << ": status " << status;
        EXPECT_EQ(WTERMSIG(status), signal);
        EXPECT_TRUE(child.echoing()) << "after signal " << signal;
    }
    {
        // A handled signal ends the wait and still reaches its handler (once).
        WaitingChild child;
        ASSERT_NO_FATAL_FAILURE(child.start(true));
        kill(child.pid, SIGINT);
        const int status = child.finish();
        ASSERT_NE(status, -1) << "still waiting after a handled SIGINT";
        ASSERT_TRUE(WIFEXITED(status)) << status;
        EXPECT_EQ(WEXITSTATUS(status), 3);
        EXPECT_TRUE(child.echoing()) << "after a handled SIGINT";
    }
}

TEST(KeyPressOnATerminal, OneHandledCtrlCEndsEveryLaterWait) {
    // The window system's handler turns Ctrl-C into a quit request; the
    // player must not wait for another key before it can act on it.
    for (int interrupted : {0, 1}) {
        SCOPED_TRACE(interrupted == 0 ? "Ctrl-C in the first wait" : "Ctrl-C in the second wait");
        WaitingChild child;
        ASSERT_NO_FATAL_FAILURE(child.start(true, 3));
        if (interrupted == 1) {
            ASSERT_EQ(write(child.master, "k", 1), 1);
            ASSERT_NO_FATAL_FAILURE(child.awaitWait(1));
        }
        kill(child.pid, SIGINT);
        const int status = child.finish();
        ASSERT_NE(status, -1) << "a later wait still holds the player";
        ASSERT_TRUE(WIFEXITED(status)) << status;
        EXPECT_EQ(WEXITSTATUS(status), 3) << "the handler must run exactly once";
        EXPECT_TRUE(child.echoing());
    }
}

TEST(KeyPressOnATerminal, BackgroundJobGoesOnWithoutTouchingTheTerminal) {
    // A session with the terminal: the session leader is the foreground job,
    // a second process group is a job started with '&'.
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    const std::string name = ptsname(master);
    const pid_t session = fork();
    ASSERT_GE(session, 0);
    if (session == 0) {
        setsid();
        const int terminal = open(name.c_str(), O_RDWR);
        if (terminal < 0) _exit(10);
        const pid_t job = fork();
        if (job == 0) {
            setpgid(0, 0);
            // As in an interactive shell, whatever the test runner ignores.
            signal(SIGTTOU, SIG_DFL);
            signal(SIGTTIN, SIG_DFL);
            if (dup2(terminal, STDIN_FILENO) < 0) _exit(10);
            waitForConsoleKey();
            _exit(0);
        }
        setpgid(job, job);
        int status = 0;
        for (int i = 0; i < 5000; ++i) {
            const pid_t ended = waitpid(job, &status, WNOHANG | WUNTRACED);
            if (ended == job && WIFSTOPPED(status)) break;
            if (ended == job) _exit(WIFEXITED(status) ? WEXITSTATUS(status) : 12);
            usleep(1000);
        }
        kill(job, SIGKILL);
        waitpid(job, nullptr, 0);
        _exit(WIFSTOPPED(status) ? 20 + WSTOPSIG(status) : 13);
    }
    int status = 0;
    ASSERT_EQ(waitpid(session, &status, 0), session);
    close(master);
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 0) << "20 + N: the job was stopped by signal N; 13: still waiting after 5 s";
}

}  // namespace
