#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/audio_device.h"
#include "support/test_audio.h"

namespace {

constexpr int halfLength = 4410;

// Loudness of a stretch of the mix.
double rms(const std::vector<int16_t>& samples, std::size_t fromFrame, std::size_t frames) {
    double sum = 0.0;
    for (std::size_t i = fromFrame * 2; i < (fromFrame + frames) * 2; ++i) sum += double(samples[i]) * samples[i];
    return std::sqrt(sum / double(frames * 2));
}

class AudioOffline : public testing::Test {
protected:
    void SetUp() override {
        directory = makeScratchDirectory();
        // No device may be opened: this driver does not exist.
        setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    }
    void TearDown() override {
        audioFree();
        unsetenv("SDL_AUDIODRIVER");
        std::filesystem::remove_all(directory);
    }

    // Silence for the first half, a loud tone for the second.
    uint32_t quietThenLoud() {
        std::vector<int16_t> samples = sineSamples(2 * halfLength, 2, 44100, 441.0, 12000);
        std::fill(samples.begin(), samples.begin() + halfLength * 2, 0);
        const std::string path = directory + "/music.mp3";
        if (!encodeMp3(samples, 2, 44100, path)) return 0;
        return audioStreamCreateFile(path);
    }

    std::vector<int16_t> render(std::size_t frames) {
        std::vector<int16_t> out(frames * 2, 1234);
        audioRenderOffline(out.data(), frames);
        return out;
    }

    std::string directory;
};

TEST_F(AudioOffline, MixesWithoutADeviceFromASetPositionAndLoops) {
    audioUseOfflineOutput();
    EXPECT_TRUE(audioInit(-1, 44100));  // succeeds although no device exists
    EXPECT_TRUE(audioStart());
    const uint32_t stream = quietThenLoud();
    if (stream == 0) GTEST_SKIP() << "lame is not installed";
    EXPECT_EQ(render(100), std::vector<int16_t>(200, 0));  // nothing plays yet

    // Start in the loud half; the loop brings the quiet half next.
    ASSERT_TRUE(audioChannelSetPosition(stream, (halfLength + 1000) * 4));
    ASSERT_TRUE(audioStreamPlay(stream, false, audioLoopFlag));
    std::vector<int16_t> mix = render(3 * halfLength);
    EXPECT_GT(rms(mix, 200, 2000), 5000.0);
    EXPECT_LT(rms(mix, halfLength + 500, 2000), 300.0);  // the quiet half after the seam
    EXPECT_GT(rms(mix, 2 * halfLength + 500, 2000), 5000.0);

    // Offsets past the end wrap; an odd byte offset keeps whole frames.
    ASSERT_TRUE(audioChannelSetPosition(stream, (2 * halfLength * 10 + 200) * 4 + 3));
    mix = render(2000);
    EXPECT_LT(rms(mix, 0, 2000), 300.0);
    EXPECT_FALSE(audioChannelSetPosition(stream + 1, 0));

    // A fade to silence stops the stream: what follows is exact silence.
    ASSERT_TRUE(audioChannelSetPosition(stream, (halfLength + 100) * 4));
    ASSERT_TRUE(audioChannelSlideAttributes(stream, -1, audioFadeOutVolume, -101, 100));
    mix = render(9000);
    EXPECT_GT(rms(mix, 0, 500), 2000.0);
    EXPECT_EQ(std::vector<int16_t>(mix.begin() + 4410 * 2, mix.end()), std::vector<int16_t>(4590 * 2, 0));
}

TEST_F(AudioOffline, EndsWithAudioFree) {
    audioUseOfflineOutput();
    audioFree();
    EXPECT_FALSE(audioInit(-1, 44100));  // back to needing a device
    std::vector<int16_t> out(20, 7);
    audioRenderOffline(out.data(), 10);
    EXPECT_EQ(out, std::vector<int16_t>(20, 7));  // not in use: untouched
}

}  // namespace
