// A seek must be heard at once and exactly: after moving to frame T, the
// mix is the whole decode from T on, and the samples there were decoded by
// the seek itself, not by the mix (which, live, is the audio callback).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/audio_decoder.h"
#include "platform/audio_device.h"
#include "support/test_audio.h"

namespace {

constexpr std::size_t musicFrames = 5 * 44100;

class AudioSeek : public testing::Test {
protected:
    void SetUp() override {
        directory = makeScratchDirectory();
        setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
        audioUseOfflineOutput();
        ASSERT_TRUE(audioInit(-1, 44100));
        ASSERT_TRUE(audioStart());
        // A rising tone: no stretch of it repeats, so a position off by any
        // number of frames shows.
        std::vector<int16_t> samples;
        for (std::size_t i = 0; i < musicFrames; ++i) {
            const double seconds = double(i) / 44100.0;
            const auto value =
                static_cast<int16_t>(std::lround(9000 * std::sin(2 * M_PI * (200 + 150 * seconds) * seconds)));
            samples.push_back(value);
            samples.push_back(static_cast<int16_t>(-value / 2));
        }
        const std::string path = directory + "/music.mp3";
        if (!encodeMp3(samples, 2, 44100, path)) GTEST_SKIP() << "lame is not installed";
        ASSERT_TRUE(decodeMp3File(path, whole));
        stream = audioStreamCreateFile(path);
        ASSERT_NE(stream, 0u);
    }
    void TearDown() override {
        audioFree();
        unsetenv("SDL_AUDIODRIVER");
        std::filesystem::remove_all(directory);
    }

    // Seeks to frame, then checks that the next frames of the mix are the
    // whole decode from there on (looping at its end), and that the first
    // device period of them needed no decoding in the mix.
    void expectHeardFrom(std::size_t frame, std::size_t frames) {
        ASSERT_TRUE(audioChannelSetPosition(stream, frame * 4));
        ASSERT_TRUE(audioStreamPlay(stream, false, audioLoopFlag));
        const int64_t decoded = audioStreamGetDecodedLength(stream);
        std::vector<int16_t> period(4096 * 2);
        audioRenderOffline(period.data(), 4096);
        EXPECT_EQ(audioStreamGetDecodedLength(stream), decoded) << "the mix decoded after a seek to " << frame;

        std::vector<int16_t> rest(frames * 2);
        audioRenderOffline(rest.data(), frames);
        period.insert(period.end(), rest.begin(), rest.end());
        const std::size_t length = whole.size() / 2;
        for (std::size_t i = 0; i < period.size() / 2; ++i) {
            const std::size_t source = (frame + i) % length;
            ASSERT_EQ(period[i * 2], whole[source * 2]) << "frame " << i << " after a seek to " << frame;
            ASSERT_EQ(period[i * 2 + 1], whole[source * 2 + 1]) << "frame " << i << " after a seek to " << frame;
        }
    }

    std::string directory;
    std::vector<int16_t> whole;
    uint32_t stream = 0;
};

TEST_F(AudioSeek, StartsAndJumpsExactlyWithoutDecodingInTheMix) {
    // Placed before it first plays, as --start does.
    expectHeardFrom(1000, 4410);
    // Forward past what is decoded while playing, on through the loop's seam.
    expectHeardFrom(3 * 44100 + 17, 2 * 44100);
    // Back into what is decoded.
    expectHeardFrom(5, 100);
}

}  // namespace
