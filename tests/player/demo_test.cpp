#include "player/demo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "authoring/live_demo.h"
#include "framework/effect_draw_observer.h"
#include "framework/effect_instance.h"
#include "player/music.h"
#include "support/recording_render_state.h"
#include "support/test_audio.h"

namespace {

class DemoTest : public testing::Test {
protected:
    void SetUp() override {
        directory = makeScratchDirectory();
        previousDirectory = std::filesystem::current_path();
        std::filesystem::current_path(directory);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }
    void TearDown() override {
        music.release();
        unsetenv("SDL_AUDIODRIVER");
        std::filesystem::current_path(previousDirectory);
        std::filesystem::remove_all(directory);
    }

    // A demo built quietly from the given sync text.
    std::unique_ptr<Demo> makeDemo(const std::string& syncText, EffectDrawObserver* observer = nullptr) {
        std::ofstream("test.dat") << syncText;
        testing::internal::CaptureStdout();
        auto demo = std::make_unique<Demo>("test.dat", music, renderState, observer);
        constructionOutput = testing::internal::GetCapturedStdout();
        return demo;
    }

    // A script of one plain group, read with the console kept quiet.
    void initWithOneGroup(Demo& demo) {
        std::ofstream("iDemo.dat") << "defineEffect group as Effect\n"
                                      "end\n"
                                      "createInstance of group as iDemo at 0 1000\n"
                                      "bah\n";
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        demo.init();
        testing::internal::GetCapturedStderr();
        testing::internal::GetCapturedStdout();
    }

    // Draws one frame; true when it started with the three clears.
    bool frameClearsFirst(Demo& demo, float t) {
        renderState.clear();
        testing::internal::CaptureStdout();
        demo.drawFrame(t);
        testing::internal::GetCapturedStdout();
        const std::vector<std::string> calls = renderState.texts();
        return calls.size() >= 3 && calls[0] == "setClearColor(0,0,0,0)" && calls[1] == "clearColorBuffer()" &&
               calls[2] == "clearDepthBuffer()";
    }

    std::string directory;
    std::filesystem::path previousDirectory;
    Music music;
    RecordingRenderState renderState;
    std::string constructionOutput;
};

}  // namespace

TEST_F(DemoTest, ConstructorReadsTheSyncTrack) {
    auto demo = makeDemo("1 a 0\n2 b 1\n");
    EXPECT_EQ(constructionOutput, "loading sync\n");
    EXPECT_EQ(demo->getSyncTrack().size(), 2u);

    std::filesystem::remove("test.dat");
    testing::internal::CaptureStdout();
    Demo withoutFile("test.dat", music, renderState);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "loading sync\nfuck, couldn't load file\n");
    EXPECT_TRUE(withoutFile.getSyncTrack().empty());
}

TEST_F(DemoTest, FadesAfter230AndEndsOnALaterFrameAfter255) {
    auto demo = makeDemo("");
    EXPECT_TRUE(frameClearsFirst(*demo, 229.9f));
    EXPECT_TRUE(frameClearsFirst(*demo, 230.0f));
    EXPECT_FALSE(demo->isMusicFading());
    // The frame that starts the fade never ends the run, even past 255.
    EXPECT_TRUE(frameClearsFirst(*demo, 255.5f));
    EXPECT_TRUE(demo->isMusicFading());
    EXPECT_FALSE(demo->hasEnded());
    EXPECT_TRUE(frameClearsFirst(*demo, 255.6f));
    EXPECT_TRUE(demo->hasEnded());
    EXPECT_EQ(renderState.texts().size(), 3u) << "nothing is drawn after the end";
}

TEST_F(DemoTest, RunEndsOnTheFirstFrameAbove255OnceFading) {
    auto demo = makeDemo("");
    EXPECT_TRUE(frameClearsFirst(*demo, 230.001f));
    EXPECT_TRUE(demo->isMusicFading());
    EXPECT_TRUE(frameClearsFirst(*demo, 254.0f));
    EXPECT_TRUE(frameClearsFirst(*demo, 255.0f));
    EXPECT_FALSE(demo->hasEnded());
    EXPECT_TRUE(frameClearsFirst(*demo, 255.01f));
    EXPECT_TRUE(demo->hasEnded());
}

TEST_F(DemoTest, FadeoutAndEndEventsSetTheFadeAndTheEnd) {
    auto demo = makeDemo("8 fadeout 0\n10 end 3\n");
    EXPECT_TRUE(frameClearsFirst(*demo, 8.0f));
    EXPECT_FALSE(demo->isMusicFading());
    EXPECT_TRUE(frameClearsFirst(*demo, 8.05f));
    EXPECT_TRUE(demo->isMusicFading());
    EXPECT_TRUE(frameClearsFirst(*demo, 10.0f));
    EXPECT_FALSE(demo->hasEnded());
    EXPECT_TRUE(frameClearsFirst(*demo, 10.05f));
    EXPECT_TRUE(demo->hasEnded());
}

TEST_F(DemoTest, WithoutARootNothingIsDispatched) {
    auto demo = makeDemo("0 a 0\n");
    EXPECT_TRUE(frameClearsFirst(*demo, 1.0f));
    EXPECT_EQ(demo->getNextSyncEvent(), 0u);
    EXPECT_EQ(renderState.texts().size(), 3u);
}

TEST_F(DemoTest, InitLoadsMusicAndScriptThenDeliversEventsFrameByFrame) {
    if (!encodeMp3(sineSamples(4410, 2, 44100, 441.0, 8000), 2, 44100, "demomusik.mp3")) {
        GTEST_SKIP() << "lame is not installed";
    }
    std::ofstream("iDemo.dat") << "defineEffect group as Effect\n"
                                  "end\n"
                                  "createInstance of group as iDemo at 0 1000\n"
                                  "createInstance of group as scene at 10 40\n"
                                  "addChild scene to iDemo\n"
                                  "bah\n";
    auto demo = makeDemo("1 a 0\n2 b 1\n12 c 1\n");

    testing::internal::CaptureStdout();
    demo->init();
    const std::string output = testing::internal::GetCapturedStdout();
    // The length line has no line end, so the next line continues it.
    EXPECT_EQ(output.rfind("loading music\nstreaming file [17640 bytes]loading demo script\nopening iDemo.dat\n", 0),
              0u)
        << output;
    EXPECT_TRUE(output.ends_with("ename: iDemo\n")) << output;
    ASSERT_NE(demo->getRoot(), nullptr);
    EXPECT_EQ(demo->getRoot()->getName(), "iDemo");
    EXPECT_EQ(demo->getNextSyncEvent(), 0u);
    EXPECT_FALSE(demo->isMusicFading());

    EXPECT_TRUE(frameClearsFirst(*demo, 0.5f));
    EXPECT_EQ(demo->getNextSyncEvent(), 0u);
    EXPECT_TRUE(frameClearsFirst(*demo, 12.0f));
    EXPECT_TRUE(frameClearsFirst(*demo, 12.0f));
    EXPECT_TRUE(frameClearsFirst(*demo, 12.0f));
    EXPECT_EQ(demo->getNextSyncEvent(), 3u);
}

// Live authoring names what is wrong with the script file itself.
TEST_F(DemoTest, LiveModeSaysTheScriptIsAFolder) {
    std::ofstream("test.dat") << "1 offset 0\n";
    std::filesystem::create_directory("iDemo.dat");
    LiveDemo live(music, renderState);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    live.init();
    const std::string said = testing::internal::GetCapturedStderr();
    testing::internal::GetCapturedStdout();
    EXPECT_NE(("\n" + said).find("\nreload failed: iDemo.dat is a folder, not a script\n"), std::string::npos) << said;
    EXPECT_TRUE(live.reloadFailed());
}

// The benchmark's watcher times the frames; the draws made ahead of the
// first frame while loading are no frame's.
TEST_F(DemoTest, TheDrawWatcherSeesTheFramesNotTheDrawsAheadOfThem) {
    struct CountingObserver : EffectDrawObserver {
        int calls = 0;
        void beforeDraw(Effect&) override { ++calls; }
        void afterDraw(Effect&) override { ++calls; }
    } observer;
    auto demo = makeDemo("", &observer);
    initWithOneGroup(*demo);
    ASSERT_NE(demo->getRoot(), nullptr);
    EXPECT_EQ(observer.calls, 0);
    EXPECT_TRUE(frameClearsFirst(*demo, 1.0f));
    EXPECT_EQ(observer.calls, 2);
}

// The browser page's seek bar and keys move a played demo either way, even
// after its end: it then plays on as a run from 0 would from the target. A
// held frame drawn again after its canvas was cleared delivers nothing.
TEST_F(DemoTest, ASeekBackAfterTheEndPlaysOnAsARunFromZero) {
    auto demo = makeDemo("1 a 0\n2 b 0\n12 c 0\n20 end 0\n");
    initWithOneGroup(*demo);
    ASSERT_NE(demo->getRoot(), nullptr);
    for (const float t : {12.0f, 12.0f, 12.0f, 19.0f, 20.5f}) frameClearsFirst(*demo, t);
    ASSERT_TRUE(demo->hasEnded());

    demo->seek(1.5f);
    EXPECT_FALSE(demo->hasEnded());
    EXPECT_FALSE(demo->isMusicFading());
    EXPECT_EQ(demo->getNextSyncEvent(), 1u) << "the event at 1 s, and only it, is delivered again";
    EXPECT_TRUE(frameClearsFirst(*demo, 1.5f));
    renderState.clear();
    demo->redrawFrame(1.5f);
    ASSERT_GE(renderState.texts().size(), 3u);
    EXPECT_EQ(renderState.texts()[1], "clearColorBuffer()");
    EXPECT_EQ(demo->getNextSyncEvent(), 1u);

    EXPECT_TRUE(frameClearsFirst(*demo, 2.5f));
    EXPECT_EQ(demo->getNextSyncEvent(), 2u);
    // Forward into the fade: the run ends on the first frame after the end.
    demo->seek(19.0f);
    EXPECT_EQ(demo->getNextSyncEvent(), 3u);
    EXPECT_TRUE(demo->isMusicFading());
    EXPECT_TRUE(frameClearsFirst(*demo, 20.0f));
    EXPECT_FALSE(demo->hasEnded());
    frameClearsFirst(*demo, 20.1f);
    EXPECT_TRUE(demo->hasEnded());
}
