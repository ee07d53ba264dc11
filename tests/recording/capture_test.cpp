#include "recording/capture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/player_imports.h"
#include "support/captured_console.h"
#include "support/test_audio.h"

namespace {

int framesRead = 0;
int16_t nextSample = 0;

void readNumberedFrame(uint8_t* rgba, int width, int height) {
    std::fill(rgba, rgba + static_cast<std::size_t>(width) * height * 4, static_cast<uint8_t>(++framesRead));
}

// Counts up sample by sample, so gaps and repeats in the file show.
void renderCountingSound(int16_t* out, std::size_t frames) {
    for (std::size_t i = 0; i < frames * 2; ++i) out[i] = nextSample++;
}

std::vector<uint8_t> fileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class CaptureTest : public testing::Test {
protected:
    void SetUp() override {
        framesRead = 0;
        nextSample = 0;
        root = makeScratchDirectory();
    }
    void TearDown() override { std::filesystem::remove_all(root); }
    std::string root;
    const PlayerImports fakes{.readFrame = readNumberedFrame, .renderAudio = renderCountingSound};
};

TEST(CaptureNamingTest, FrameNamesAndSoundShareWithoutDrift) {
    EXPECT_EQ(captureFrameName(0), "frame_000000.png");
    EXPECT_EQ(captureFrameName(15300), "frame_015300.png");
    EXPECT_EQ(captureAudioFramesBefore(1, 60, 44100), 735);
    // 1837.5 sound frames per picture at 24: alternately 1837 and 1838.
    EXPECT_EQ(captureAudioFramesBefore(1, 24, 44100), 1837);
    EXPECT_EQ(captureAudioFramesBefore(2, 24, 44100), 3675);
    EXPECT_EQ(captureAudioFramesBefore(24 * 255, 24, 44100), 44100 * 255);
    EXPECT_EQ(captureAudioFramesBefore(15301, 60, 44100), 15301 * 735);
}

TEST_F(CaptureTest, TheArgumentsFormChoosesPicturesOrVideo) {
    std::filesystem::create_directory(root + "/shots.old");
    EXPECT_EQ(captureKindOf(root + "/shots.old"), CaptureKind::frames);  // exists
    EXPECT_EQ(captureKindOf(root + "/shots.new/"), CaptureKind::frames);
    EXPECT_EQ(captureKindOf(root + "/shots"), CaptureKind::frames);
    EXPECT_EQ(captureKindOf("demo.MP4"), CaptureKind::video);
    EXPECT_EQ(captureKindOf("demo.mkv"), CaptureKind::video);
    EXPECT_EQ(captureKindOf("demo.avi"), CaptureKind::unknown);
    EXPECT_EQ(captureKindOf("runs.2/.hidden"), CaptureKind::frames);
}

TEST_F(CaptureTest, WritesNumberedFramesAndTheSoundThatGoesWithThem) {
    const std::string directory = root + "/new/shots";  // made on the way
    CaptureSession capture(fakes, directory, 24, false);
    ASSERT_TRUE(capture.begin());
    for (int frame = 0; frame < 3; ++frame) ASSERT_TRUE(capture.frameDrawn(frame, 10.0f + frame / 24.0f));
    EXPECT_TRUE(capture.finish());
    EXPECT_TRUE(capture.finish());
    EXPECT_EQ(capture.framesWritten(), 3);

    for (int frame = 0; frame < 3; ++frame)
        EXPECT_TRUE(std::filesystem::exists(directory + "/" + captureFrameName(frame))) << frame;
    EXPECT_FALSE(std::filesystem::exists(directory + "/" + captureFrameName(3)));

    const std::vector<uint8_t> wav = fileBytes(directory + "/audio.wav");
    const std::size_t soundFrames = captureAudioFramesBefore(3, 24, 44100);
    ASSERT_EQ(wav.size(), wavHeaderSize + soundFrames * 4);
    // The samples follow on without gaps across frames.
    for (std::size_t i = 0; i < soundFrames * 2; i += 997) {
        const auto sample = static_cast<int16_t>(wav[wavHeaderSize + i * 2] | wav[wavHeaderSize + i * 2 + 1] << 8);
        ASSERT_EQ(sample, static_cast<int16_t>(i)) << i;
    }
}

TEST_F(CaptureTest, ADirectoryThatCannotBeMadeIsReported) {
    std::ofstream(root + "/file") << "x";
    CaptureSession capture(fakes, root + "/file", 60, false);
    const CapturedConsole console = captureConsole([&] { EXPECT_FALSE(capture.begin()); });
    EXPECT_EQ(console.err, "capture: cannot make the directory '" + root + "/file'\n");
}

TEST_F(CaptureTest, AFrameThatCannotBeWrittenStopsTheRunAndFails) {
    const std::string directory = root + "/shots";
    CaptureSession capture(fakes, directory, 60, false);
    ASSERT_TRUE(capture.begin());
    ASSERT_TRUE(capture.frameDrawn(0, 0.0f));
    // The directory goes away under the capture (a full or lost disk).
    std::filesystem::rename(directory, root + "/moved");
    const CapturedConsole console = captureConsole([&] {
        EXPECT_FALSE(capture.frameDrawn(1, 1.0f / 60));
        EXPECT_FALSE(capture.frameDrawn(2, 2.0f / 60));
    });
    EXPECT_EQ(console.err, "capture: cannot write '" + directory + "/frame_000001.png'\n");
    EXPECT_FALSE(capture.finish());
    EXPECT_EQ(capture.framesWritten(), 1);
    // What was written up to the failure is still a complete file.
    EXPECT_EQ(fileBytes(root + "/moved/audio.wav").size(), wavHeaderSize + 735 * 4);
}

TEST_F(CaptureTest, AnEarlierCaptureStaysUntilTheFirstNewFrame) {
    const std::string directory = root + "/shots";
    std::filesystem::create_directory(directory);
    std::ofstream(directory + "/audio.wav") << "earlier";
    {
        // Ended before its first frame, as when the window cannot open.
        CaptureSession capture(fakes, directory, 60, false);
        ASSERT_TRUE(capture.begin());
        EXPECT_TRUE(capture.finish());
    }
    const std::vector<uint8_t> earlier = fileBytes(directory + "/audio.wav");
    EXPECT_EQ(std::string(earlier.begin(), earlier.end()), "earlier");
    EXPECT_FALSE(std::filesystem::exists(directory + "/audio.wav.part"));

    CaptureSession capture(fakes, directory, 60, false);
    ASSERT_TRUE(capture.begin());
    ASSERT_TRUE(capture.frameDrawn(0, 0.0f));
    EXPECT_EQ(fileBytes(directory + "/audio.wav").size(), wavHeaderSize + 735 * 4);
    EXPECT_TRUE(capture.finish());
}

TEST_F(CaptureTest, ASecondCaptureIntoTheSameFolderIsRefused) {
    const std::string directory = root + "/shots";
    CaptureSession first(fakes, directory, 60, false);
    ASSERT_TRUE(first.begin());
    CaptureSession second(fakes, directory, 60, false);
    const CapturedConsole console = captureConsole([&] {
        EXPECT_FALSE(second.begin());
        ASSERT_TRUE(first.frameDrawn(0, 0.0f));
        EXPECT_FALSE(second.begin());  // also once the first has its audio.wav in place
    });
    const std::string refusal = "capture: cannot write '" + directory + "/audio.wav' (another capture is writing it)\n";
    EXPECT_EQ(console.err, refusal + refusal);
    EXPECT_TRUE(first.finish());
    EXPECT_EQ(fileBytes(directory + "/audio.wav").size(), wavHeaderSize + 735 * 4);
}

}  // namespace
