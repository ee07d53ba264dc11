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

volatile sig_atomic_t handlerRan = 0;

// A child waiting for a key on the slave side of a new terminal; the test
// keeps the master and its own view of the slave.
struct WaitingChild {
    pid_t pid = -1;
    int master = -1;
    int slave = -1;

    ~WaitingChild() {
        if (pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        if (slave >= 0) close(slave);
        if (master >= 0) close(master);
    }

    // withHandler: SIGINT is caught first, as the window system's library
    // does, with SA_RESTART semantics.
    void start(bool withHandler) {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(master, 0);
        ASSERT_EQ(grantpt(master), 0);
        ASSERT_EQ(unlockpt(master), 0);
        const std::string name = ptsname(master);
        slave = open(name.c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(slave, 0);
        pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            const rlimit noCore{0, 0};
            setrlimit(RLIMIT_CORE, &noCore);
            setsid();
            const int terminal = open(name.c_str(), O_RDWR);
            if (terminal < 0 || dup2(terminal, STDIN_FILENO) < 0) _exit(10);
            if (withHandler) signal(SIGINT, [](int) { handlerRan = 1; });
            waitForConsoleKey();
            _exit(withHandler && handlerRan ? 3 : 0);
        }
        for (int i = 0; i < 5000 && echoing(); ++i) usleep(1000);
        ASSERT_FALSE(echoing()) << "the wait never switched the terminal";
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
        // A handled signal ends the wait and still reaches its handler.
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

}  // namespace
