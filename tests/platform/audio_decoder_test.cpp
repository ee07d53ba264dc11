#include "platform/audio_decoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/test_audio.h"

namespace {

class AudioDecoder : public testing::Test {
protected:
    void SetUp() override { directory = makeScratchDirectory(); }
    void TearDown() override { std::filesystem::remove_all(directory); }

    std::string makeMp3(const std::string& name, int frames, int channels, int rate) {
        const std::string path = directory + "/" + name;
        if (!encodeMp3(sineSamples(frames, channels, rate, 441.0, 8000), channels, rate, path)) return "";
        return path;
    }

    std::string directory;
};

double rms(const std::vector<int16_t>& samples, std::size_t first, std::size_t count) {
    double sum = 0.0;
    for (std::size_t i = first; i < first + count; ++i) sum += double(samples[i]) * samples[i];
    return std::sqrt(sum / count);
}

}  // namespace

TEST_F(AudioDecoder, StereoMp3DecodesToItsOwnLengthAndLevel) {
    const std::string path = makeMp3("tone.mp3", 44100, 2, 44100);
    if (path.empty()) GTEST_SKIP() << "lame is not installed";
    std::vector<int16_t> pcm;
    ASSERT_TRUE(decodeMp3File(path, pcm));
    // The encoder's delay and padding are trimmed: exactly one second.
    EXPECT_EQ(pcm.size(), 44100u * 2);
    // A sine of amplitude 8000 has an RMS of about 5657.
    EXPECT_NEAR(rms(pcm, 20000, 40000), 5657.0, 300.0);

    std::ifstream file(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<int16_t> fromMemory;
    ASSERT_TRUE(decodeMp3(bytes.data(), bytes.size(), fromMemory));
    EXPECT_EQ(fromMemory, pcm);
}

TEST_F(AudioDecoder, MonoAtHalfRateBecomesStereoAt44100) {
    const std::string path = makeMp3("mono.mp3", 22050, 1, 22050);
    if (path.empty()) GTEST_SKIP() << "lame is not installed";
    std::vector<int16_t> pcm;
    ASSERT_TRUE(decodeMp3File(path, pcm));
    // One second of sound, give or take the untrimmed encoder frames.
    EXPECT_GE(pcm.size() / 2, 44100u - 1152);
    EXPECT_LE(pcm.size() / 2, 44100u + 4 * 1152);
    for (std::size_t i = 0; i < pcm.size(); i += 2) ASSERT_EQ(pcm[i], pcm[i + 1]) << "frame " << i / 2;
    EXPECT_NEAR(rms(pcm, 20000, 40000), 5657.0, 400.0);
}

TEST_F(AudioDecoder, MissingEmptyAndNonMp3FilesAreRefused) {
    std::vector<int16_t> pcm = {1, 2};
    EXPECT_FALSE(decodeMp3File(directory + "/absent.mp3", pcm));
    EXPECT_TRUE(pcm.empty());

    std::ofstream(directory + "/empty.mp3").close();
    EXPECT_FALSE(decodeMp3File(directory + "/empty.mp3", pcm));

    std::ofstream(directory + "/text.mp3") << "this is a sync file, not music\n1.0 offset 2\n";
    EXPECT_FALSE(decodeMp3File(directory + "/text.mp3", pcm));
    EXPECT_TRUE(pcm.empty());

    EXPECT_FALSE(decodeMp3(nullptr, 0, pcm));
}

TEST_F(AudioDecoder, TruncatedMp3KeepsTheWholeFramesItHolds) {
    const std::string path = makeMp3("tone.mp3", 44100, 2, 44100);
    if (path.empty()) GTEST_SKIP() << "lame is not installed";
    std::ifstream file(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    bytes.resize(bytes.size() / 2 + 7);
    std::vector<int16_t> pcm;
    ASSERT_TRUE(decodeMp3(bytes.data(), bytes.size(), pcm));
    EXPECT_GT(pcm.size(), 44100u / 4);
    EXPECT_LT(pcm.size(), 44100u * 2);
    EXPECT_EQ(pcm.size() % 2, 0u);
}
