#include "player/music.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "platform/audio_device.h"
#include "support/test_audio.h"

namespace {

class MusicTest : public testing::Test {
protected:
    void SetUp() override {
        directory = makeScratchDirectory();
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }
    void TearDown() override {
        music.release();
        unsetenv("SDL_AUDIODRIVER");
        std::filesystem::remove_all(directory);
    }

    std::string makeMp3(int frames) {
        const std::string path = directory + "/demomusik.mp3";
        if (!encodeMp3(sineSamples(frames, 2, 44100, 441.0, 8000), 2, 44100, path)) return "";
        return path;
    }

    std::string directory;
    Music music;
};

}  // namespace

TEST_F(MusicTest, StreamsPlaysFadesAndReleasesTwice) {
    const std::string path = makeMp3(4410);
    if (path.empty()) GTEST_SKIP() << "lame is not installed";
    testing::internal::CaptureStdout();
    music.load(path);
    EXPECT_NE(music.getStream(), 0u);
    music.play();
    music.fadeOut();
    music.release();
    music.release();
    // The length line has no line end: the next message continues it.
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "streaming file [17640 bytes]");
    EXPECT_EQ(music.getStream(), 0u);
}

TEST_F(MusicTest, MissingFileRunsSilently) {
    testing::internal::CaptureStdout();
    music.load(directory + "/demomusik.mp3");
    music.play();
    music.fadeOut();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "file could not be played\nerror, stream is null!\n");
}

TEST_F(MusicTest, WithoutAnOutputDeviceTheStreamIsStillMade) {
    const std::string path = makeMp3(4410);
    if (path.empty()) GTEST_SKIP() << "lame is not installed";
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    testing::internal::CaptureStdout();
    music.load(path);
    music.play();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Can't initialize devicestreaming file [17640 bytes]");
}

TEST_F(MusicTest, AStartTimePlaysFromThatPlaceOfTheLoop) {
    // 0.1 s of silence, then 0.1 s of a loud tone.
    std::vector<int16_t> samples = sineSamples(8820, 2, 44100, 441.0, 12000);
    std::fill(samples.begin(), samples.begin() + 4410 * 2, 0);
    const std::string path = directory + "/demomusik.mp3";
    if (!encodeMp3(samples, 2, 44100, path)) GTEST_SKIP() << "lame is not installed";
    auto loudnessAtStart = [&](double startTime) {
        audioUseOfflineOutput();
        music.setStartTime(startTime);
        testing::internal::CaptureStdout();
        music.load(path);
        music.play();
        testing::internal::GetCapturedStdout();
        std::vector<int16_t> mix(2000 * 2);
        audioRenderOffline(mix.data(), 2000);
        music.release();
        double sum = 0;
        for (int16_t sample : mix) sum += double(sample) * sample;
        return std::sqrt(sum / double(mix.size()));
    };
    EXPECT_LT(loudnessAtStart(0.0), 300.0);
    EXPECT_GT(loudnessAtStart(0.15), 5000.0);
    EXPECT_GT(loudnessAtStart(0.15 + 0.2 * 7), 5000.0);  // seven loops later
    EXPECT_LT(loudnessAtStart(0.2 * 1000), 300.0);
}
