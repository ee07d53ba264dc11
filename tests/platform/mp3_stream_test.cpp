#include "platform/mp3_stream.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/audio_decoder.h"
#include "support/test_audio.h"

namespace {

class Mp3StreamTest : public testing::Test {
protected:
    void SetUp() override { directory = makeScratchDirectory(); }
    void TearDown() override { std::filesystem::remove_all(directory); }

    std::vector<uint8_t> makeMp3(int frames, int channels, int rate) {
        const std::string path = directory + "/tone.mp3";
        if (!encodeMp3(sineSamples(frames, channels, rate, 441.0, 8000), channels, rate, path)) return {};
        std::ifstream file(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

    std::string directory;
};

// Decoded in small pieces, the stream must give exactly what decoding the
// whole file at once gives: the same length (which the player prints) and
// the same samples.
void expectSameAsWholeDecode(const std::vector<uint8_t>& bytes) {
    std::vector<int16_t> whole;
    ASSERT_TRUE(decodeMp3(bytes.data(), bytes.size(), whole));
    EXPECT_EQ(scanMp3FrameCount(bytes.data(), bytes.size()) * 2, whole.size());

    Mp3Stream stream;
    ASSERT_TRUE(stream.open(bytes.data(), bytes.size()));
    ASSERT_EQ(stream.frameCount() * 2, whole.size());
    std::vector<int16_t> pcm(whole.size(), -1);
    for (std::size_t frames = 0; !stream.finished(); frames += 1000) {
        const std::size_t decoded = stream.decodeUntil(pcm.data(), frames);
        EXPECT_GE(decoded, std::min(frames, stream.frameCount()));
    }
    EXPECT_EQ(stream.decodedFrames(), stream.frameCount());
    EXPECT_EQ(pcm, whole);
}

}  // namespace

TEST_F(Mp3StreamTest, StereoAndResampledMonoMatchTheWholeDecode) {
    const std::vector<uint8_t> stereo = makeMp3(44100, 2, 44100);
    if (stereo.empty()) GTEST_SKIP() << "lame is not installed";
    expectSameAsWholeDecode(stereo);
    expectSameAsWholeDecode(makeMp3(22050, 1, 22050));
    expectSameAsWholeDecode(makeMp3(30000, 2, 32000));
}

TEST_F(Mp3StreamTest, NonMp3BytesAreRefused) {
    Mp3Stream stream;
    EXPECT_FALSE(stream.open(nullptr, 0));
    const std::string text = "this is a sync file, not music\n1.0 offset 2\n";
    EXPECT_FALSE(stream.open(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    EXPECT_EQ(scanMp3FrameCount(nullptr, 0), 0u);
    int16_t pcm[4] = {};
    EXPECT_EQ(stream.decodeUntil(pcm, 2), 0u);
}

TEST_F(Mp3StreamTest, TruncatedFileEndsWhereItsFramesEnd) {
    std::vector<uint8_t> bytes = makeMp3(44100, 2, 44100);
    if (bytes.empty()) GTEST_SKIP() << "lame is not installed";
    bytes.resize(bytes.size() / 2 + 7);
    std::vector<int16_t> whole;
    ASSERT_TRUE(decodeMp3(bytes.data(), bytes.size(), whole));
    Mp3Stream stream;
    ASSERT_TRUE(stream.open(bytes.data(), bytes.size()));
    std::vector<int16_t> pcm(stream.frameCount() * 2);
    stream.decodeUntil(pcm.data(), stream.frameCount());
    EXPECT_TRUE(stream.finished());
    // Whatever the scan promised, what is decoded is what a whole decode gives.
    ASSERT_LE(stream.decodedFrames() * 2, whole.size());
    EXPECT_TRUE(std::equal(pcm.begin(), pcm.begin() + stream.decodedFrames() * 2, whole.begin()));
}
