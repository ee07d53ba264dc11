// The bundled demo driven frame by frame through Demo::drawFrame against a
// render state that does nothing: after start-up, no frame of the whole
// run, sync events and the music fade included, allocates memory.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "platform/player_context.h"
#include "player/demo.h"
#include "player/music.h"
#include "support/allocation_counter.h"
#include "support/null_render_state.h"

namespace {

class BundledDemoFrames : public testing::Test {
protected:
    void SetUp() override {
        const char* source = std::getenv("QUARN_SOURCE_DIR");
        previousDirectory = std::filesystem::current_path();
        std::filesystem::current_path(std::filesystem::path(source ? source : ".") / "demo");
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }
    void TearDown() override {
        music.release();
        unsetenv("SDL_AUDIODRIVER");
        std::filesystem::current_path(previousDirectory);
    }

    Music music;
    NullRenderState renderState;
    PlayerContextScope context{{.renderState = &renderState}};
    std::filesystem::path previousDirectory;
};

TEST_F(BundledDemoFrames, NoFrameOfTheWholeRunAllocates) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    auto demo = std::make_unique<Demo>("test.dat", music);
    demo->init();
    testing::internal::GetCapturedStderr();
    testing::internal::GetCapturedStdout();
    ASSERT_NE(demo->getRoot(), nullptr);

    // Every sync event is due at some frame of a 30 fps run; one more frame
    // after the end time ends the run.
    uint64_t worstFrame = 0;
    float worstTime = -1.0f;
    const uint64_t before = allocationCount();
    for (int frame = 0; frame <= 255 * 30 + 1; ++frame) {
        const float t = static_cast<float>(frame) / 30.0f;
        const uint64_t start = allocationCount();
        demo->drawFrame(t);
        if (allocationCount() - start > worstFrame) {
            worstFrame = allocationCount() - start;
            worstTime = t;
        }
    }
    const uint64_t total = allocationCount() - before;
    EXPECT_EQ(total, 0u) << "worst frame at t=" << worstTime << " allocated " << worstFrame << " times";
    EXPECT_EQ(demo->getNextSyncEvent(), demo->getSyncTrack().size());
    EXPECT_TRUE(demo->isMusicFading());
    EXPECT_TRUE(demo->hasEnded());
}

}  // namespace
