#include "runtime/music.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "support/test_audio.h"

namespace {

class MusicTest : public testing::Test {
protected:
    void SetUp() override {
        directory = makeScratchDirectory();
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }
    void TearDown() override {
        Music::release();
        unsetenv("SDL_AUDIODRIVER");
        std::filesystem::remove_all(directory);
    }

    std::string makeMp3(int frames) {
        const std::string path = directory + "/demomusik.mp3";
        if (!encodeMp3(sineSamples(frames, 2, 44100, 441.0, 8000), 2, 44100, path)) return "";
        return path;
    }

    std::string directory;
};

}  // namespace

TEST_F(MusicTest, StreamsPlaysFadesAndReleasesTwice) {
    const std::string path = makeMp3(4410);
    if (path.empty()) GTEST_SKIP() << "lame is not installed";
    testing::internal::CaptureStdout();
    Music::load(path);
    EXPECT_NE(Music::getStream(), 0u);
    Music::play();
    Music::fadeOut();
    Music::release();
    Music::release();
    // The length line has no line end: the next message continues it.
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "streaming file [17640 bytes]");
    EXPECT_EQ(Music::getStream(), 0u);
}

TEST_F(MusicTest, MissingFileRunsSilently) {
    testing::internal::CaptureStdout();
    Music::load(directory + "/demomusik.mp3");
    Music::play();
    Music::fadeOut();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "file could not be played\nerror, stream is null!\n");
}

TEST_F(MusicTest, WithoutAnOutputDeviceTheStreamIsStillMade) {
    const std::string path = makeMp3(4410);
    if (path.empty()) GTEST_SKIP() << "lame is not installed";
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    testing::internal::CaptureStdout();
    Music::load(path);
    Music::play();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Can't initialize devicestreaming file [17640 bytes]");
}
