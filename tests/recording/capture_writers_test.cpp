#include <gtest/gtest.h>
#include <png.h>
#include <sys/resource.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "recording/png_writer.h"
#include "recording/wav_writer.h"

namespace {

std::vector<uint8_t> fileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

uint32_t read32(const std::vector<uint8_t>& bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
}

// Decodes with libpng's own reader, as RGB rows top first.
bool decodeRgb(const std::vector<uint8_t>& png, int& width, int& height, std::vector<uint8_t>& rgb) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) return false;
    image.format = PNG_FORMAT_RGB;
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    rgb.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr) != 0;
}

class CaptureWriters : public testing::Test {
protected:
    void SetUp() override {
        directory = std::filesystem::temp_directory_path() /
                    ("quarn_writers_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(directory);
    }
    void TearDown() override { std::filesystem::remove_all(directory); }
    std::filesystem::path directory;
};

TEST_F(CaptureWriters, PngKeepsColoursDropsAlphaAndTurnsGlRowsUpright) {
    // 3 by 2, bottom row first as GL reads it; alpha 0 as the demo clears.
    const uint8_t bottomFirst[] = {1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0, 13, 14, 15, 0, 250, 251, 252, 0};
    std::vector<uint8_t> png;
    ASSERT_TRUE(encodePng(RgbaPicture{bottomFirst, 3, 2, true}, png));
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    ASSERT_TRUE(decodeRgb(png, width, height, rgb));
    EXPECT_EQ(width, 3);
    EXPECT_EQ(height, 2);
    EXPECT_EQ(rgb, (std::vector<uint8_t>{10, 11, 12, 13, 14, 15, 250, 251, 252, 1, 2, 3, 4, 5, 6, 7, 8, 9}));

    ASSERT_TRUE(encodePng(RgbaPicture{bottomFirst, 3, 2, false}, png, 9));
    ASSERT_TRUE(decodeRgb(png, width, height, rgb));
    EXPECT_EQ(rgb[0], 1);

    const std::string path = (directory / "frame.png").string();
    ASSERT_TRUE(writePngFile(path, RgbaPicture{bottomFirst, 3, 2, true}));
    ASSERT_TRUE(decodeRgb(fileBytes(path), width, height, rgb));
    EXPECT_EQ(rgb[0], 10);
}

TEST_F(CaptureWriters, PngRefusesWhatItCannotWrite) {
    const uint8_t pixel[4] = {};
    std::vector<uint8_t> png{1, 2, 3};
    EXPECT_FALSE(encodePng(RgbaPicture{nullptr, 1, 1, false}, png));
    EXPECT_TRUE(png.empty());
    EXPECT_FALSE(encodePng(RgbaPicture{pixel, 0, 1, false}, png));
    EXPECT_FALSE(encodePng(RgbaPicture{pixel, 1, -1, false}, png));
    // Wider than the format allows: refused by the encoder, not a crash.
    std::vector<uint8_t> row(static_cast<std::size_t>(1u << 20) * 4 * 2);
    EXPECT_FALSE(encodePng(RgbaPicture{row.data(), 1 << 20, 1, false}, png));
    EXPECT_FALSE(writePngFile((directory / "missing" / "frame.png").string(), RgbaPicture{pixel, 1, 1, false}));
}

TEST_F(CaptureWriters, WavHeaderDescribesSixteenBitPcm) {
    const auto header = wavHeader(44100, 2, 1000);
    const std::vector<uint8_t> bytes(header.begin(), header.end());
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
    EXPECT_EQ(read32(bytes, 4), 1036u);
    EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(read32(bytes, 16), 16u);
    EXPECT_EQ(bytes[20] | bytes[21] << 8, 1);  // PCM
    EXPECT_EQ(bytes[22] | bytes[23] << 8, 2);
    EXPECT_EQ(read32(bytes, 24), 44100u);
    EXPECT_EQ(read32(bytes, 28), 176400u);
    EXPECT_EQ(bytes[32] | bytes[33] << 8, 4);
    EXPECT_EQ(bytes[34] | bytes[35] << 8, 16);
    EXPECT_EQ(std::string(bytes.begin() + 36, bytes.begin() + 40), "data");
    EXPECT_EQ(read32(bytes, 40), 1000u);
    // Too long for 32-bit sizes: clamped, never wrapped round to a small size.
    const auto huge = wavHeader(44100, 2, uint64_t{1} << 33);
    EXPECT_EQ(read32(std::vector<uint8_t>(huge.begin(), huge.end()), 4), 0xFFFFFFFFu);
}

TEST_F(CaptureWriters, WavFileHeaderFollowsWhatIsWritten) {
    const std::string path = (directory / "audio.wav").string();
    {
        WavFileWriter wav;
        ASSERT_TRUE(wav.open(path, 44100, 2));
        const int16_t first[] = {1, -1, 0x1234, -32768};
        const int16_t second[] = {32767, 7};
        EXPECT_TRUE(wav.append(first, 2));
        EXPECT_TRUE(wav.append(second, 1));
        EXPECT_EQ(wav.framesWritten(), 3u);
        // Whole before it is closed, as a killed run leaves it.
        const std::vector<uint8_t> unclosed = fileBytes(path);
        ASSERT_EQ(unclosed.size(), wavHeaderSize + 12);
        EXPECT_EQ(read32(unclosed, 40), 12u);
        EXPECT_TRUE(wav.close());
        EXPECT_TRUE(wav.close());  // repeated: harmless
    }
    const std::vector<uint8_t> bytes = fileBytes(path);
    ASSERT_EQ(bytes.size(), wavHeaderSize + 12);
    EXPECT_EQ(read32(bytes, 4), 36u + 12u);
    EXPECT_EQ(read32(bytes, 40), 12u);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 44, bytes.end()),
              (std::vector<uint8_t>{1, 0, 0xFF, 0xFF, 0x34, 0x12, 0x00, 0x80, 0xFF, 0x7F, 7, 0}));

    // Left open: the destructor completes the file.
    {
        WavFileWriter wav;
        ASSERT_TRUE(wav.open(path, 22050, 1));
        const int16_t sample[] = {5};
        wav.append(sample, 1);
    }
    EXPECT_EQ(read32(fileBytes(path), 40), 2u);
}

TEST_F(CaptureWriters, WavWriterReportsAFileItCannotMake) {
    WavFileWriter wav;
    EXPECT_FALSE(wav.open((directory / "missing" / "audio.wav").string(), 44100, 2));
    const int16_t sample[] = {1, 2};
    EXPECT_FALSE(wav.append(sample, 1));
    EXPECT_FALSE(wav.close());
    EXPECT_FALSE(wav.open((directory / "rate.wav").string(), 0, 2));
}

TEST_F(CaptureWriters, WavOnAFullDiskHoldsWhatWasWrittenAndSaysSo) {
    const std::string path = (directory / "audio.wav").string();
    WavFileWriter wav;
    ASSERT_TRUE(wav.open(path, 44100, 2));
    // Room for 250 frames and half of one more, as a full disk leaves it.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit limit = saved;
    limit.rlim_cur = wavHeaderSize + 250 * 4 + 2;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const std::vector<int16_t> samples(2 * 200, 1000);
    const bool firstWent = wav.append(samples.data(), 200);
    const bool secondWent = wav.append(samples.data(), 200);
    const bool closed = wav.close();
    setrlimit(RLIMIT_FSIZE, &saved);

    EXPECT_TRUE(firstWent);
    EXPECT_FALSE(secondWent);
    EXPECT_FALSE(closed);
    EXPECT_EQ(wav.error(), "File too large");
    EXPECT_EQ(wav.framesWritten(), 250u);
    const std::vector<uint8_t> bytes = fileBytes(path);
    ASSERT_EQ(bytes.size(), wavHeaderSize + 250 * 4);
    EXPECT_EQ(read32(bytes, 4), 36u + 250 * 4);
    EXPECT_EQ(read32(bytes, 40), 250u * 4);
}

}  // namespace
