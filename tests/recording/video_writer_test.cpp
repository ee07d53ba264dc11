#include "recording/video_writer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "support/test_audio.h"
#include "support/video_probe.h"

namespace {

constexpr int width = 64;
constexpr int height = 48;

// Red above, blue below, and a white bar that moves right frame by frame.
std::vector<uint8_t> expectedRgb(int frame) {
    std::vector<uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
            const bool bar = x / 4 == frame % (width / 4);
            p[0] = bar || y < height / 2 ? 230 : 20;
            p[1] = bar ? 230 : 20;
            p[2] = bar || y >= height / 2 ? 230 : 20;
        }
    }
    return rgb;
}

// The same as GL reads it back: RGBA, rows bottom first.
std::vector<uint8_t> glOrder(const std::vector<uint8_t>& rgb) {
    std::vector<uint8_t> rgba(static_cast<std::size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint8_t* from = &rgb[(static_cast<std::size_t>(height - 1 - y) * width + x) * 3];
            uint8_t* to = &rgba[(static_cast<std::size_t>(y) * width + x) * 4];
            to[0] = from[0];
            to[1] = from[1];
            to[2] = from[2];
            to[3] = 0;  // the demo clears to alpha 0
        }
    }
    return rgba;
}

class VideoWriterTest : public testing::Test {
protected:
    void SetUp() override { root = makeScratchDirectory(); }
    void TearDown() override { std::filesystem::remove_all(root); }
    std::string root;
};

TEST(VideoContainerTest, ChosenByTheExtensionInAnyCase) {
    EXPECT_EQ(videoContainerFor("demo.mp4"), VideoContainer::mp4);
    EXPECT_EQ(videoContainerFor("out/Demo.MKV"), VideoContainer::matroska);
    EXPECT_EQ(videoContainerFor("demo.avi"), VideoContainer::none);
    EXPECT_EQ(videoContainerFor("mp4"), VideoContainer::none);
    EXPECT_EQ(videoContainerFor("clips.mp4/shots"), VideoContainer::none);
}

TEST_F(VideoWriterTest, PicturesAndSoundComeBackInStepUprightAndInColour) {
    constexpr int frames = 45;
    constexpr int fps = 30;
    constexpr int soundPerFrame = 44100 / fps;
    const std::vector<int16_t> tone = sineSamples(soundPerFrame * frames, 2, 44100, 441.0, 8000);
    for (const char* name : {"clip.mp4", "clip.mkv"}) {
        SCOPED_TRACE(name);
        const std::string path = root + "/" + name;
        VideoSettings settings;
        settings.width = width;
        settings.height = height;
        settings.fps = fps;
        settings.maxFrames = frames;
        VideoFileWriter writer;
        ASSERT_TRUE(writer.open(path, settings)) << writer.error();
        for (int frame = 0; frame < frames; ++frame) {
            const std::vector<uint8_t> rgba = glOrder(expectedRgb(frame));
            ASSERT_TRUE(writer.append(rgba.data(), tone.data() + frame * soundPerFrame * 2, soundPerFrame));
        }
        ASSERT_TRUE(writer.close()) << writer.error();
        EXPECT_EQ(writer.framesInFile(), frames);

        for (int frame : {0, 22, frames - 1}) {
            const VideoProbe probe = probeVideo(path, frame);
            ASSERT_EQ(probe.error, "");
            EXPECT_GE(pictureSnr(probe.picture, expectedRgb(frame)), 30.0) << "picture " << frame;
            if (frame != 0) continue;
            EXPECT_EQ(probe.videoCodec, "h264");
            EXPECT_EQ(probe.audioCodec, "aac");
            EXPECT_EQ(probe.frames, frames);
            EXPECT_EQ(probe.decodeErrors, 0);
            EXPECT_NEAR(probe.frameRate, fps, 0.01);
            // The sound ends with the pictures, up to the padding of its last
            // 1024-sample block. MP4 also cuts the encoder's lead-in, so both
            // start at 0; Matroska plays the lead-in before 0.
            EXPECT_NEAR(probe.firstPictureTime, 0.0, 1e-3);
            const double soundEnd = probe.firstSoundTime + probe.soundSeconds;
            EXPECT_GE(soundEnd, 1.5 - 1e-3);
            EXPECT_LE(soundEnd, 1.5 + 1024.0 / 44100);
            EXPECT_NEAR(probe.soundPeak, 8000, 800);
            if (std::string(name) == "clip.mp4") {
                EXPECT_NEAR(probe.firstSoundTime, 0.0, 1e-3);
                EXPECT_TRUE(probe.indexFirst);
            }
        }
    }
}

TEST_F(VideoWriterTest, TheRoomKeptForTheIndexHoldsALongCapture) {
    // Frame count, not picture size, decides the size of the index.
    VideoSettings settings;
    settings.width = 16;
    settings.height = 16;
    settings.fps = 60;
    settings.maxFrames = 3000;
    const std::string path = root + "/long.mp4";
    VideoFileWriter writer;
    ASSERT_TRUE(writer.open(path, settings)) << writer.error();
    std::vector<uint8_t> rgba(16 * 16 * 4);
    const std::vector<int16_t> silence(735 * 2);
    for (int frame = 0; frame < settings.maxFrames; ++frame) {
        rgba[static_cast<std::size_t>(frame % 256) * 4] = static_cast<uint8_t>(frame);
        ASSERT_TRUE(writer.append(rgba.data(), silence.data(), 735));
    }
    // One more is refused; those before it are all kept.
    EXPECT_FALSE(writer.append(rgba.data(), silence.data(), 735));
    EXPECT_FALSE(writer.close());
    EXPECT_EQ(writer.error(), "more frames than the capture was to have");
    const VideoProbe probe = probeVideo(path);
    EXPECT_EQ(probe.error, "");
    EXPECT_EQ(probe.frames, 3000);
    EXPECT_TRUE(probe.indexFirst);
}

// Waits (a bounded while) for the encoder thread to put the file in place.
bool appearsWithin(const std::string& path, int seconds) {
    for (int i = 0; i < seconds * 100 && !std::filesystem::exists(path); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return std::filesystem::exists(path);
}

std::string textOf(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST_F(VideoWriterTest, TheFilePlaysWhileItIsWrittenUpToItsLastWholeSecond) {
    // What a kill leaves behind: the file as it stands, never closed.
    constexpr int fps = 30;
    const std::vector<int16_t> silence(44100 / fps * 2);
    for (const char* name : {"live.mp4", "live.mkv"}) {
        SCOPED_TRACE(name);
        const std::string path = root + "/" + name;
        VideoSettings settings;
        settings.width = width;
        settings.height = height;
        settings.fps = fps;
        settings.maxFrames = 200;
        VideoFileWriter writer;
        ASSERT_TRUE(writer.open(path, settings)) << writer.error();
        for (int frame = 0; frame < 3 * fps; ++frame) {
            const std::vector<uint8_t> rgba = glOrder(expectedRgb(frame));
            ASSERT_TRUE(writer.append(rgba.data(), silence.data(), silence.size() / 2));
        }
        ASSERT_TRUE(appearsWithin(path, 20));
        const VideoProbe probe = probeVideo(path, 0);
        EXPECT_EQ(probe.error, "");
        EXPECT_GE(probe.frames, fps);
        EXPECT_EQ(probe.decodeErrors, 0);
        EXPECT_GT(probe.soundSeconds, 0.5);
        EXPECT_GE(pictureSnr(probe.picture, expectedRgb(0)), 30.0);
        ASSERT_TRUE(writer.close()) << writer.error();
        // Closed, it has all its pictures and the index at the front.
        const VideoProbe closed = probeVideo(path);
        EXPECT_EQ(closed.frames, 3 * fps);
        if (std::string(name) == "live.mp4") {
            EXPECT_TRUE(closed.indexFirst);
        }
    }
}

TEST_F(VideoWriterTest, ASecondWriterIsRefusedAndAnUnusedOneLeavesTheFileAlone) {
    const std::string path = root + "/clip.mp4";
    std::ofstream(path) << "earlier";
    VideoSettings settings;
    settings.width = width;
    settings.height = height;
    settings.fps = 30;
    settings.maxFrames = 100;
    VideoFileWriter first;
    ASSERT_TRUE(first.open(path, settings)) << first.error();
    EXPECT_EQ(textOf(path), "earlier");  // until its first pictures are written

    VideoFileWriter second;
    EXPECT_FALSE(second.open(path, settings));
    EXPECT_TRUE(second.busy());
    EXPECT_EQ(second.error(), "another capture is writing it");

    const std::vector<int16_t> silence(1470 * 2);
    for (int frame = 0; frame < 60; ++frame) {
        const std::vector<uint8_t> rgba = glOrder(expectedRgb(frame));
        ASSERT_TRUE(first.append(rgba.data(), silence.data(), 1470));
    }
    ASSERT_TRUE(appearsWithin(path, 20) && textOf(path) != "earlier");
    // In place, the file is still the first writer's.
    EXPECT_FALSE(second.open(path, settings));
    EXPECT_TRUE(second.busy());
    ASSERT_TRUE(first.close()) << first.error();

    // Closed, it is free; a writer that ends before its first picture
    // leaves it as it was.
    ASSERT_TRUE(second.open(path, settings)) << second.error();
    EXPECT_TRUE(second.close());
    EXPECT_EQ(probeVideo(path).frames, 60);
    EXPECT_FALSE(std::filesystem::exists(path + ".part"));
}

}  // namespace
