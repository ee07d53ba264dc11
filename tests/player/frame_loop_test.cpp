#include "player/frame_loop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "platform/player_imports.h"
#include "player/demo_interface.h"

namespace {

// Everything the loop does, in order.
std::vector<std::string> happenings;
std::deque<PendingEvent> queuedEvents;
std::vector<std::string> titles;
bool windowIsFullScreen = false;
// The key every handled event presses.
PlayerKey keyOfEvents = PlayerKey::None;

// One millisecond passes with every clock reading.
int64_t fakeCount = 0;
int64_t readFakeCounter() { return fakeCount += 1000; }

PendingEvent takeScriptedEvent(PlayerKey& key) {
    key = PlayerKey::None;
    if (queuedEvents.empty()) return PendingEvent::Quit;  // keeps a broken loop from running forever
    PendingEvent event = queuedEvents.front();
    queuedEvents.pop_front();
    if (event == PendingEvent::Handled) {
        happenings.push_back("event");
        key = keyOfEvents;
    }
    return event;
}
void recordTitle(const char* title) { titles.push_back(title); }
void recordSwap() { happenings.push_back("swap"); }
bool reportFullScreen() { return windowIsFullScreen; }

class RecordingDemo : public DemoInterface {
public:
    void init() override { happenings.push_back("init"); }
    void drawFrame(float t) override {
        happenings.push_back("frame");
        times.push_back(t);
    }
    std::vector<float> times;
};

class FrameLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        happenings.clear();
        queuedEvents.clear();
        titles.clear();
        windowIsFullScreen = true;
        keyOfEvents = PlayerKey::None;
        fakeCount = 0;
    }
    void run(std::vector<PendingEvent> events, const FrameTiming& timing = FrameTiming{}) {
        queuedEvents.assign(events.begin(), events.end());
        runFrameLoop(imports, withDemo ? &demo : nullptr, timing);
    }
    const PlayerImports imports{.takeEvent = takeScriptedEvent,
                                .setTitle = recordTitle,
                                .swapBuffers = recordSwap,
                                .fullScreen = reportFullScreen,
                                .clockCounter = readFakeCounter,
                                .clockFrequency = 1'000'000};
    // n frames, each after an empty queue, then a quit.
    void runFrames(int n) {
        std::vector<PendingEvent> events(n, PendingEvent::None);
        events.push_back(PendingEvent::Quit);
        run(events);
    }
    RecordingDemo demo;
    bool withDemo = true;
};

constexpr PendingEvent H = PendingEvent::Handled;
constexpr PendingEvent N = PendingEvent::None;
constexpr PendingEvent Q = PendingEvent::Quit;

TEST_F(FrameLoopTest, AllWaitingEventsAreHandledBeforeEachFrame) {
    run({H, H, N, H, N, N, H, H, H, Q});
    EXPECT_EQ(happenings, (std::vector<std::string>{"init", "event", "event", "frame", "swap", "event", "frame", "swap",
                                                    "frame", "swap", "event", "event", "event"}));
    ASSERT_EQ(demo.times.size(), 3u);
    EXPECT_GT(demo.times[0], 0.0f);  // the first frame is not at exactly 0
    EXPECT_LT(demo.times[0], demo.times[1]);
    EXPECT_LT(demo.times[1], demo.times[2]);
    EXPECT_TRUE(titles.empty());  // full screen never changes the title
}

TEST_F(FrameLoopTest, QuitEndsTheLoopAtOnce) {
    run({H, Q, H, N, N});
    EXPECT_EQ(happenings, (std::vector<std::string>{"init", "event"}));
    EXPECT_EQ(queuedEvents.size(), 3u);
}

TEST_F(FrameLoopTest, WithoutADemoEveryFrameSaysSoAndStillSwaps) {
    withDemo = false;
    testing::internal::CaptureStdout();
    runFrames(2);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "rnd was null!\nrnd was null!\n");
    EXPECT_EQ(happenings, (std::vector<std::string>{"swap", "swap"}));
}

TEST_F(FrameLoopTest, WindowedTitleRestartsItsRateEvery32Frames) {
    windowIsFullScreen = false;
    runFrames(33);
    ASSERT_EQ(titles.size(), 33u);
    // Clock readings: start at 1 ms, then per frame t and the rate's reading,
    // plus the window start on frame 32.
    EXPECT_EQ(titles[0], "Quarn time: 0.001 fps: 500.000 ");   // 1 frame in 2 ms
    EXPECT_EQ(titles[30], "Quarn time: 0.061 fps: 500.000 ");  // 31 frames in 62 ms
    EXPECT_EQ(titles[31], "Quarn time: 0.064 fps: 0.000 ");    // the restart frame
    EXPECT_EQ(titles[32], "Quarn time: 0.066 fps: 250.000 ");  // 1 frame in 4 ms
    EXPECT_EQ(demo.times[31], 0.064f);
}

// Records what a capture or benchmark would see, and stops after a frame.
class WatchingObserver : public FrameObserver {
public:
    void frameStarting(int frame, float t) override { happenings.push_back(describe("starting", frame, t)); }
    bool frameDrawn(int frame, float t) override {
        happenings.push_back(describe("drawn", frame, t));
        return frame != stopAfter;
    }
    void frameShown(int frame, float t) override { happenings.push_back(describe("shown", frame, t)); }
    int stopAfter = -1;

private:
    static std::string describe(const char* what, int frame, float t) {
        char text[64];
        std::snprintf(text, sizeof text, "%s %d %.4f", what, frame, t);
        return text;
    }
};

TEST_F(FrameLoopTest, FixedStepsFromAStartTimeIgnoreTheClock) {
    WatchingObserver observer;
    FrameTiming timing;
    timing.startTime = 250.0;
    timing.fixedRate = 24;
    timing.observer = &observer;
    run({N, H, N, N, Q}, timing);
    EXPECT_EQ(demo.times, (std::vector<float>{250.0f, static_cast<float>(250.0 + 1.0 / 24), 250.0f + 2.0f / 24}));
    EXPECT_EQ(happenings, (std::vector<std::string>{
                              "init", "starting 0 250.0000", "frame", "drawn 0 250.0000", "swap", "shown 0 250.0000",
                              "event", "starting 1 250.0417", "frame", "drawn 1 250.0417", "swap", "shown 1 250.0417",
                              "starting 2 250.0833", "frame", "drawn 2 250.0833", "swap", "shown 2 250.0833"}));
    // Step times come from the frame number, so no rounding builds up.
    EXPECT_EQ(fixedFrameTime(0.0, 60, 300), 5.0);
    EXPECT_EQ(static_cast<float>(fixedFrameTime(250.0, 60, 300)), 255.0f);
}

TEST_F(FrameLoopTest, AStartTimeShiftsTheClockAndAFailedFrameStopsBeforeItsSwap) {
    WatchingObserver observer;
    observer.stopAfter = 1;
    FrameTiming timing;
    timing.startTime = 100.0;
    timing.observer = &observer;
    run({N, N, N, N, Q}, timing);
    ASSERT_EQ(demo.times.size(), 2u);
    EXPECT_FLOAT_EQ(demo.times[0], 100.001f);  // the clock's first reading, moved on by 100 s
    EXPECT_EQ(happenings.back(), "drawn 1 100.0020");
    EXPECT_EQ(std::count(happenings.begin(), happenings.end(), "swap"), 1);
}

// Live authoring steers the loop through its observer: keys between
// frames, its words after the title's rate. The browser steps the loop
// itself, one frame a callback.
TEST_F(FrameLoopTest, KeysReachTheObserverAndItsWordsEndTheTitle) {
    class KeyObserver : public FrameObserver {
    public:
        void keyPressed(PlayerKey key, FrameClock&) override {
            happenings.push_back(key == PlayerKey::Space ? "space" : "another key");
        }
        void appendToTitle(char* text, int size) override { std::snprintf(text, size, "paused "); }
    } observer;
    windowIsFullScreen = false;
    keyOfEvents = PlayerKey::Space;
    queuedEvents = {H, N, N, Q};
    ClockTime time(0.0);
    FrameLoop loop(imports, &demo, time, &observer);
    loop.begin();
    EXPECT_EQ(loop.step(), FrameLoop::Step::Drawn);
    EXPECT_EQ(loop.step(), FrameLoop::Step::Drawn);
    EXPECT_EQ(loop.step(), FrameLoop::Step::Quit);
    EXPECT_EQ(happenings, (std::vector<std::string>{"init", "event", "space", "frame", "swap", "frame", "swap"}));
    EXPECT_EQ(titles, (std::vector<std::string>{"Quarn time: 0.001 fps: 500.000 paused ",
                                                "Quarn time: 0.003 fps: 500.000 paused "}));
}

TEST(FrameTitleTest, NoElapsedTimeShowsAZeroRate) {
    char title[64];
    // The window start rounds up past the reading as a float.
    formatFrameTitle(title, sizeof title, 100.0f, 3, 100.000001, 100.00001f);
    EXPECT_STREQ(title, "Quarn time: 100.000 fps: 0.000 ");
    formatFrameTitle(title, sizeof title, 1.0f, 0, 1.0, 1.0f);
    EXPECT_STREQ(title, "Quarn time: 1.000 fps: 0.000 ");
    formatFrameTitle(title, 12, 1.0f, 0, 1.0, 1.0f);
    EXPECT_STREQ(title, "Quarn time:");
}

}  // namespace
