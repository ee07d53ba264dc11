#include "platform/window.h"

#include <GL/gl.h>
#include <SDL.h>
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/events.h"
#include "platform/message_box.h"
#include "support/gl_context.h"

namespace {

std::vector<GLint> viewport() {
    std::vector<GLint> box(4);
    glGetIntegerv(GL_VIEWPORT, box.data());
    return box;
}

void pushKey(SDL_Keycode key) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = key;
    SDL_PushEvent(&event);
}

void pushWindowEvent(Uint8 what, int data1 = 0, int data2 = 0) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = what;
    event.window.data1 = data1;
    event.window.data2 = data2;
    SDL_PushEvent(&event);
}

std::vector<PendingEvent> drainQueue() {
    std::vector<PendingEvent> taken;
    for (PendingEvent event; (event = takeNextEvent()) != PendingEvent::None;) taken.push_back(event);
    return taken;
}

int countOf(const std::vector<PendingEvent>& events, PendingEvent kind) {
    int count = 0;
    for (PendingEvent event : events) count += event == kind;
    return count;
}

class WindowEventTest : public GlContextTest {
protected:
    void SetUp() override {
        GlContextTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        SDL_PumpEvents();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
};

TEST_F(WindowEventTest, ZeroHeightCountsAsOne) {
    glMatrixMode(GL_PROJECTION);
    resizeViewport(320, 0);
    // The picture's 4:3 area of a 320x1 drawable.
    EXPECT_EQ(viewport(), (std::vector<GLint>{159, 0, 1, 1}));
    GLfloat m[16];
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    EXPECT_FLOAT_EQ(m[5], 2.0f);  // top 1, bottom 0
    EXPECT_FLOAT_EQ(m[13], -1.0f);
    EXPECT_FLOAT_EQ(m[0], 2.0f / 320);
}

TEST_F(WindowEventTest, EveryQueuedEventIsHandledBeforeTheQueueRunsDry) {
    pushKey(SDLK_a);  // any other key does nothing
    pushWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 200, 100);
    pushWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 300, 150);
    const std::vector<PendingEvent> taken = drainQueue();
    EXPECT_EQ(countOf(taken, PendingEvent::Handled), int(taken.size()));
    EXPECT_GE(taken.size(), 3u);
    // The last size wins; its picture is pillarboxed.
    EXPECT_EQ(viewport(), (std::vector<GLint>{50, 0, 200, 150}));
}

TEST_F(WindowEventTest, EscapeKeyDownQueuesAQuitBehindWaitingEvents) {
    pushKey(SDLK_ESCAPE);
    pushWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 200, 100);
    std::vector<PendingEvent> taken = drainQueue();
    ASSERT_FALSE(taken.empty());
    EXPECT_EQ(taken.back(), PendingEvent::Quit);
    EXPECT_EQ(countOf(taken, PendingEvent::Quit), 1);
    EXPECT_EQ(viewport(), (std::vector<GLint>{33, 0, 133, 100}));  // handled before the quit
}

TEST_F(WindowEventTest, QuitIsReportedAheadOfEventsBehindIt) {
    postQuit();
    pushWindowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 200, 100);
    EXPECT_EQ(takeNextEvent(), PendingEvent::Quit);
    EXPECT_NE(viewport(), (std::vector<GLint>{33, 0, 133, 100}));
    drainQueue();
}

// The player's own window under the test display.
class PlayerWindowTest : public ::testing::Test {
protected:
    void SetUp() override { QUARN_SKIP_WITHOUT_DISPLAY(); }
    void TearDown() override { closeWindow(); }
    SDL_Window* window() { return static_cast<SDL_Window*>(getWindowHandle()); }
};

TEST_F(PlayerWindowTest, FullScreenSwitchesAndRestores) {
    testing::internal::CaptureStderr();
    openWindow(640, 480, true);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_NE(window(), nullptr);
    ASSERT_NE(getDeviceContext(), nullptr);
    EXPECT_STREQ(SDL_GetWindowTitle(window()), "Quarn 2");
    EXPECT_TRUE(isFullScreen());
    EXPECT_TRUE(SDL_GetWindowFlags(window()) & SDL_WINDOW_FULLSCREEN);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    EXPECT_EQ(viewport(), (std::vector<GLint>{0, 0, 640, 480}));  // set before any frame

    restoreDisplayMode();
    EXPECT_FALSE(SDL_GetWindowFlags(window()) & SDL_WINDOW_FULLSCREEN);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
    restoreDisplayMode();  // a second time is harmless
}

TEST_F(PlayerWindowTest, WithoutTheModeFullScreenTakesTheDesktopsResolution) {
    SDL_InitSubSystem(SDL_INIT_VIDEO);
    SDL_DisplayMode desktop{};
    ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &desktop), 0);
    testing::internal::CaptureStderr();
    openWindow(desktop.w + 64, desktop.h + 64, true);  // no display has that mode
    // Nothing failed: the picture is drawn at the desktop's resolution.
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ASSERT_NE(window(), nullptr);
    EXPECT_NE(getDeviceContext(), nullptr);
    EXPECT_TRUE(isFullScreen());
    EXPECT_EQ(SDL_GetWindowFlags(window()) & SDL_WINDOW_FULLSCREEN_DESKTOP, Uint32{SDL_WINDOW_FULLSCREEN_DESKTOP});
}

TEST_F(PlayerWindowTest, AFormatNobodyHasIsReportedAndReplaced) {
    SDL_InitSubSystem(SDL_INIT_VIDEO);
    setupPixelFormat(32, 64);  // no visual has a 64-bit depth buffer
    testing::internal::CaptureStderr();
    openWindow(640, 480, false);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error!: Failed to choose pixel format\n");
    setupPixelFormat(32, 16);
    ASSERT_NE(window(), nullptr);
    EXPECT_NE(getDeviceContext(), nullptr);
    EXPECT_EQ(viewport(), (std::vector<GLint>{0, 0, 640, 480}));
}

TEST_F(PlayerWindowTest, CloseRequestDeletesTheContextAndQuits) {
    openWindow(640, 480, false);
    ASSERT_NE(getDeviceContext(), nullptr);
    EXPECT_FALSE(isFullScreen());
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    pushWindowEvent(SDL_WINDOWEVENT_CLOSE);
    EXPECT_EQ(takeNextEvent(), PendingEvent::Handled);
    EXPECT_EQ(getDeviceContext(), nullptr);
    EXPECT_EQ(SDL_GL_GetCurrentContext(), nullptr);
    const std::vector<PendingEvent> rest = drainQueue();
    EXPECT_EQ(countOf(rest, PendingEvent::Quit), 1);
    swapWindowBuffers();  // no context left: nothing to swap, no crash
}

// Runs body with standard input from /dev/null and QUARN_NO_DIALOGS as given.
template <typename Body>
void withUnattendedStdin(const char* noDialogs, Body body) {
    const char* saved = std::getenv("QUARN_NO_DIALOGS");
    const std::string savedValue = saved ? saved : "";
    if (noDialogs)
        setenv("QUARN_NO_DIALOGS", noDialogs, 1);
    else
        unsetenv("QUARN_NO_DIALOGS");
    const int savedStdin = dup(STDIN_FILENO);
    const int devNull = open("/dev/null", O_RDONLY);
    dup2(devNull, STDIN_FILENO);
    close(devNull);
    body();
    dup2(savedStdin, STDIN_FILENO);
    close(savedStdin);
    if (saved)
        setenv("QUARN_NO_DIALOGS", savedValue.c_str(), 1);
    else
        unsetenv("QUARN_NO_DIALOGS");
}

TEST(MessageBoxTest, UnattendedRunsOnlyWriteToStandardError) {
    // A window system left running by an earlier test of this process would
    // allow a dialog, which nobody answers under Xvfb.
    for (int i = 0; i < 8 && SDL_WasInit(SDL_INIT_VIDEO); ++i) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    for (const char* noDialogs : {"1", static_cast<const char*>(nullptr)}) {
        withUnattendedStdin(noDialogs, [] {
            EXPECT_FALSE(dialogsAllowed());
            testing::internal::CaptureStderr();
            showErrorMessage("Failed to set pixel format");
            EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error!: Failed to set pixel format\n");
        });
    }
}

}  // namespace
