// The music is decoded while it plays: what reaches the output must be the
// samples a whole decode gives, from the first buffer on. SDL's "disk"
// driver writes the output to a file, so it can be compared.
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/audio_decoder.h"
#include "platform/audio_device.h"
#include "support/test_audio.h"

namespace {

std::vector<int16_t> readSamples(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<int16_t> samples(bytes.size() / 2);
    // The driver may not have written anything yet; memcpy wants real pointers.
    if (!samples.empty()) std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

}  // namespace

TEST(AudioStreaming, OutputIsTheWholeDecodeFromTheStart) {
    const std::string directory = makeScratchDirectory();
    const std::string music = directory + "/music.mp3";
    if (!encodeMp3(sineSamples(8820, 2, 44100, 441.0, 8000), 2, 44100, music)) {
        std::filesystem::remove_all(directory);
        GTEST_SKIP() << "lame is not installed";
    }
    std::vector<int16_t> whole;
    ASSERT_TRUE(decodeMp3File(music, whole));

    const std::string output = directory + "/output.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
    ASSERT_TRUE(audioInit(-1, 44100));
    const uint32_t stream = audioStreamCreateFile(music);
    ASSERT_NE(stream, 0u);
    EXPECT_EQ(audioStreamGetLength(stream), static_cast<int64_t>(whole.size()) * 2);
    audioStreamPlay(stream, false, 0);
    audioStart();
    // A paused device may have written silence before playback started.
    const auto firstSound = [](const std::vector<int16_t>& s) {
        return static_cast<std::size_t>(std::find_if(s.begin(), s.end(), [](int16_t v) { return v != 0; }) - s.begin());
    };
    // Wait until the whole tone and some silence after it have been written,
    // counted from where the sound starts: a loaded machine may write a lot of
    // silence first (the bound only keeps a broken driver from hanging).
    for (int i = 0; i < 4000; ++i) {
        const std::vector<int16_t> sofar = readSamples(output);
        // The disk driver writes at playback pace; a few seconds is plenty.
        if (sofar.size() > 1024 * 1024) break;
        const std::size_t first = firstSound(sofar);
        if (first < sofar.size() && first >= firstSound(whole) &&
            sofar.size() >= first - firstSound(whole) + whole.size() + 4410)
            break;
        SDL_Delay(5);
    }
    audioFree();
    unsetenv("SDL_AUDIODRIVER");
    unsetenv("SDL_DISKAUDIOFILE");

    const std::vector<int16_t> played = readSamples(output);
    std::filesystem::remove_all(directory);
    ASSERT_GE(firstSound(played), firstSound(whole));
    const std::size_t start = firstSound(played) - firstSound(whole);
    ASSERT_EQ(start % 2, 0u);
    ASSERT_GE(played.size(), start + whole.size());
    EXPECT_TRUE(std::equal(whole.begin(), whole.end(), played.begin() + start));
    // A stream that does not loop is silent after its end.
    for (std::size_t i = start + whole.size(); i < played.size(); ++i) ASSERT_EQ(played[i], 0) << i;
}
