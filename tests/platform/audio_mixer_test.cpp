#include "platform/audio_mixer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "support/test_audio.h"

namespace {

// Mixes in callback-sized pieces, as the device does.
std::vector<int16_t> mixFrames(AudioChannel& channel, std::size_t frames, std::size_t piece = 1000) {
    std::vector<int16_t> out(frames * 2, 0);
    for (std::size_t done = 0; done < frames; done += piece) {
        mixChannel(channel, &out[done * 2], std::min(piece, frames - done));
    }
    return out;
}

AudioChannel playingChannel(std::vector<int16_t> pcm, bool looping) {
    AudioChannel channel;
    channel.pcm.assign(pcm.begin(), pcm.end());
    channel.playing = true;
    channel.looping = looping;
    return channel;
}

}  // namespace

TEST(AudioMixer, LoopingStreamWrapsFromLastFrameStraightToFirst) {
    // 441 Hz at 44100 Hz: exactly 100 samples a period, so a clean loop of
    // 1000 frames must continue the wave without a step or a silent frame.
    const std::vector<int16_t> tone = sineSamples(1000, 2, 44100, 441.0, 12000);
    AudioChannel channel = playingChannel(tone, true);
    const std::vector<int16_t> out = mixFrames(channel, 2500, 333);

    for (std::size_t frame = 0; frame < 2500; ++frame) {
        ASSERT_EQ(out[frame * 2], tone[(frame % 1000) * 2]) << "frame " << frame;
        ASSERT_EQ(out[frame * 2 + 1], tone[(frame % 1000) * 2 + 1]) << "frame " << frame;
    }
    // Across the seam the step is no larger than anywhere inside the tone.
    int largestStep = 0;
    for (std::size_t i = 1; i < 1000; ++i) largestStep = std::max(largestStep, std::abs(tone[i * 2] - tone[i * 2 - 2]));
    EXPECT_LE(std::abs(out[1000 * 2] - out[999 * 2]), largestStep);
    EXPECT_TRUE(channel.playing);
    EXPECT_EQ(channel.position, 500u);
}

TEST(AudioMixer, StreamWithoutLoopStopsAtItsEndAndLeavesTheRestSilent) {
    AudioChannel channel = playingChannel(std::vector<int16_t>(200, 1000), false);
    const std::vector<int16_t> out = mixFrames(channel, 150);
    EXPECT_EQ(out[99 * 2], 1000);
    EXPECT_EQ(out[100 * 2], 0);
    EXPECT_FALSE(channel.playing);
}

TEST(AudioMixer, FadeOutFallsLinearlyToSilenceOverFifteenSecondsThenStops) {
    AudioChannel channel = playingChannel(std::vector<int16_t>(44100 * 2, 10000), true);
    const std::vector<int16_t> before = mixFrames(channel, 44100);
    EXPECT_EQ(before.back(), 10000);

    startVolumeSlide(channel, 0.0f, 15 * 44100, true);
    const std::vector<int16_t> fade = mixFrames(channel, 16 * 44100, 2048);
    EXPECT_NEAR(fade[0], 10000, 1);
    EXPECT_NEAR(fade[static_cast<std::size_t>(7.5 * 44100) * 2], 5000, 2);
    EXPECT_NEAR(fade[static_cast<std::size_t>(12 * 44100) * 2 + 1], 2000, 2);
    for (std::size_t i = 15 * 44100 * 2; i < fade.size(); ++i) ASSERT_EQ(fade[i], 0) << "sample " << i;
    EXPECT_FALSE(channel.playing);
}

TEST(AudioMixer, SlideToAVolumeKeepsPlayingAtIt) {
    AudioChannel channel = playingChannel(std::vector<int16_t>(400, 8000), true);
    startVolumeSlide(channel, 0.5f, 100, false);
    const std::vector<int16_t> out = mixFrames(channel, 300);
    EXPECT_NEAR(out[50 * 2], 6000, 1);
    EXPECT_EQ(out[299 * 2], 4000);
    EXPECT_TRUE(channel.playing);
}

TEST(AudioMixer, MixingAddsToTheBufferAndSaturates) {
    AudioChannel loud = playingChannel({30000, -30000, 100, -100}, false);
    std::vector<int16_t> out = {10000, -10000, 5, 5};
    mixChannel(loud, out.data(), 2);
    EXPECT_EQ(out, (std::vector<int16_t>{32767, -32768, 105, -95}));
}

TEST(AudioMixer, EmptyLoopingStreamStopsInsteadOfSpinning) {
    AudioChannel channel = playingChannel({}, true);
    std::vector<int16_t> out(8, 0);
    mixChannel(channel, out.data(), 4);
    EXPECT_FALSE(channel.playing);
}
