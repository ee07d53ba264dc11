#include "platform/audio_device.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "support/test_audio.h"

namespace {

class AudioDevice : public testing::Test {
protected:
    void SetUp() override { directory = makeScratchDirectory(); }
    void TearDown() override {
        audioFree();
        unsetenv("SDL_AUDIODRIVER");
        std::filesystem::remove_all(directory);
    }

    std::string makeMp3(int frames) {
        const std::string path = directory + "/music.mp3";
        if (!encodeMp3(sineSamples(frames, 2, 44100, 441.0, 8000), 2, 44100, path)) return "";
        return path;
    }

    std::string directory;
};

}  // namespace

TEST_F(AudioDevice, AnswersVersionOnePointEight) { EXPECT_EQ(audioGetVersion(), 0x80001u); }

TEST_F(AudioDevice, PlaysFadesAndFreesAStreamOnTheDummyOutput) {
    const std::string path = makeMp3(44100);
    if (path.empty()) GTEST_SKIP() << "lame is not installed";
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_TRUE(audioInit(-1, 44100));

    const uint32_t stream = audioStreamCreateFile(path);
    ASSERT_NE(stream, 0u);
    EXPECT_EQ(audioStreamGetLength(stream), 44100 * 4);
    EXPECT_TRUE(audioStart());
    EXPECT_TRUE(audioStreamPlay(stream, false, audioLoopFlag));
    EXPECT_TRUE(audioChannelSlideAttributes(stream, -1, audioFadeOutVolume, -101, 15000));

    audioFree();
    EXPECT_EQ(audioStreamGetLength(stream), -1);
    EXPECT_FALSE(audioStreamPlay(stream, false, audioLoopFlag));
    audioFree();
}

TEST_F(AudioDevice, UnknownHandlesAreRefused) {
    EXPECT_EQ(audioStreamGetLength(0), -1);
    EXPECT_FALSE(audioStreamPlay(0, false, audioLoopFlag));
    EXPECT_FALSE(audioChannelSlideAttributes(0, -1, audioFadeOutVolume, -101, 15000));
    EXPECT_FALSE(audioStreamPlay(12345, true, 0));
    EXPECT_EQ(audioStreamCreateFile(directory + "/absent.mp3"), 0u);
}

TEST_F(AudioDevice, WithoutAnOutputStreamsStillDecodeAndPlaySilently) {
    const std::string path = makeMp3(4410);
    if (path.empty()) GTEST_SKIP() << "lame is not installed";
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_FALSE(audioInit(-1, 44100));
    const uint32_t stream = audioStreamCreateFile(path);
    ASSERT_NE(stream, 0u);
    EXPECT_EQ(audioStreamGetLength(stream), 4410 * 4);
    EXPECT_FALSE(audioStart());
    EXPECT_TRUE(audioStreamPlay(stream, false, audioLoopFlag));
    EXPECT_TRUE(audioChannelSlideAttributes(stream, -1, audioFadeOutVolume, -101, 15000));
    audioFree();
    audioFree();
}
