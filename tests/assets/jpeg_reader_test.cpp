#include "assets/jpeg_reader.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "assets/missing_picture.h"
#include "support/captured_console.h"
#include "support/picture_files.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::unique_ptr<Image> decode(const Bytes& jpeg, CapturedConsole* console = nullptr) {
    std::unique_ptr<Image> image;
    CapturedConsole captured = captureConsole([&] { image = JpegLoader().loadFromBytes(jpeg.data(), jpeg.size()); });
    if (console) *console = captured;
    return image;
}

void expectPixelNear(const Image& image, size_t index, std::initializer_list<int> bgra, int tolerance = 2) {
    ASSERT_LE((index + 1) * 4, image.pixels.size());
    int channel = 0;
    for (int expected : bgra) {
        EXPECT_NEAR(image.pixels[index * 4 + size_t(channel)], expected, tolerance)
            << "pixel " << index << " channel " << channel;
        ++channel;
    }
}

TEST(JpegReader, ColourPictureBecomesBgraWithOpaqueAlpha) {
    CapturedConsole console;
    auto image = decode(encodeJpeg(3, 2, solidRgb(3, 2, 10, 20, 30)), &console);
    ASSERT_TRUE(image);
    EXPECT_EQ(console.out, "xsize: 3\nysize: 2\n");
    EXPECT_EQ(image->width, 3);
    EXPECT_EQ(image->height, 2);
    ASSERT_EQ(image->pixels.size(), 24u);
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(image->pixels[i * 4 + 3], 255);
        expectPixelNear(*image, i, {30, 20, 10, 255});
    }
}

TEST(JpegReader, RowsComeTopFirst) {
    // 8x16: red top half, blue bottom half (block-aligned, so no bleeding).
    Bytes samples = solidRgb(8, 8, 255, 0, 0);
    Bytes bottom = solidRgb(8, 8, 0, 0, 255);
    samples.insert(samples.end(), bottom.begin(), bottom.end());
    auto image = decode(encodeJpeg(8, 16, samples));
    ASSERT_TRUE(image);
    expectPixelNear(*image, 0, {0, 0, 255, 255}, 4);
    expectPixelNear(*image, 8 * 16 - 1, {255, 0, 0, 255}, 4);
}

TEST(JpegReader, GreyscaleProgressiveAndCmykGiveFourBytePixels) {
    JpegOptions grey;
    grey.components = 1;
    auto greyImage = decode(encodeJpeg(8, 8, Bytes(64, 128), grey));
    ASSERT_TRUE(greyImage);
    ASSERT_EQ(greyImage->pixels.size(), 64u * 4);
    expectPixelNear(*greyImage, 63, {128, 128, 128, 255});

    JpegOptions progressive;
    progressive.progressive = true;
    auto progressiveImage = decode(encodeJpeg(8, 8, solidRgb(8, 8, 10, 20, 30), progressive));
    ASSERT_TRUE(progressiveImage);
    expectPixelNear(*progressiveImage, 63, {30, 20, 10, 255});

    // libjpeg writes an Adobe marker with CMYK, whose channels are stored
    // inverted: (255, 0, 0, 255) is red.
    JpegOptions cmyk;
    cmyk.components = 4;
    Bytes inks;
    for (int i = 0; i < 64; ++i) inks.insert(inks.end(), {255, 0, 0, 255});
    auto cmykImage = decode(encodeJpeg(8, 8, inks, cmyk));
    ASSERT_TRUE(cmykImage);
    ASSERT_EQ(cmykImage->pixels.size(), 64u * 4);
    expectPixelNear(*cmykImage, 0, {0, 0, 255, 255});
}

TEST(JpegReader, CmykIsInvertedOnlyWithoutTheAdobeMarker) {
    // Every channel different, so a swapped channel or a wrong inversion shows.
    JpegPicture picture;
    picture.width = 1;
    picture.height = 1;
    picture.components = 4;
    picture.samples = {255, 128, 0, 200};
    picture.invertedCmyk = true;
    auto adobe = imageFromJpeg(picture);
    ASSERT_TRUE(adobe);
    EXPECT_EQ(adobe->pixels, (Bytes{0, 100, 200, 255}));
    picture.invertedCmyk = false;
    auto plain = imageFromJpeg(picture);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->pixels, (Bytes{55, 27, 0, 255}));
}

TEST(JpegReader, NonJpegDataFailsWithTheLibraryMessage) {
    CapturedConsole console;
    Bytes notJpeg = tgaFile(2, 1, 1, 24, {1, 2, 3});
    EXPECT_FALSE(decode(notJpeg, &console));
    EXPECT_EQ(console.out, "");
    EXPECT_EQ(console.err, "Not a JPEG file: starts with 0x00 0x00\n");

    EXPECT_FALSE(decode(Bytes{}, &console));
    EXPECT_NE(console.err, "");
}

TEST(JpegReader, DataCutInsideTheScanStillDecodesWithAWarning) {
    // A noisy picture, so that most of the file is scan data.
    Bytes samples(32 * 32 * 3);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = uint8_t(i * 7919 % 251);
    Bytes jpeg = encodeJpeg(32, 32, samples);
    jpeg.resize(jpeg.size() * 3 / 4);
    CapturedConsole console;
    auto image = decode(jpeg, &console);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixels.size(), 32u * 32 * 4);
    EXPECT_NE(console.err.find("Premature end of JPEG file"), std::string::npos) << console.err;
}

TEST(JpegReader, EveryPrefixAndCorruptionIsHandled) {
    Bytes jpeg = encodeJpeg(8, 8, solidRgb(8, 8, 10, 200, 30), JpegOptions{3, 75, true});
    captureConsole([&] {
        for (size_t length = 0; length < jpeg.size(); ++length) {
            auto image = JpegLoader().loadFromBytes(jpeg.data(), length);
            if (image) {
                EXPECT_EQ(image->pixels.size(), 8u * 8 * 4);
            }
        }
        std::srand(7);
        for (int round = 0; round < 200; ++round) {
            Bytes damaged = jpeg;
            for (int hits = 0; hits < 4; ++hits) damaged[size_t(std::rand()) % damaged.size()] = uint8_t(std::rand());
            auto image = JpegLoader().loadFromBytes(damaged.data(), damaged.size());
            if (image) {
                EXPECT_EQ(image->pixels.size(), size_t(image->width) * size_t(image->height) * 4);
            }
        }
    });
}

TEST(JpegReader, RefusesPicturesTooLargeToHold) {
    Bytes jpeg = encodeJpeg(8, 8, solidRgb(8, 8, 1, 2, 3));
    // Rewrite the frame header's size to 60000 x 60000.
    size_t frame = 0;
    while (frame + 1 < jpeg.size() && !(jpeg[frame] == 0xFF && jpeg[frame + 1] == 0xC0)) ++frame;
    ASSERT_LT(frame + 9, jpeg.size());
    jpeg[frame + 5] = jpeg[frame + 7] = 60000 >> 8;
    jpeg[frame + 6] = jpeg[frame + 8] = 60000 & 0xFF;
    CapturedConsole console;
    EXPECT_FALSE(decode(jpeg, &console));
    EXPECT_EQ(console.err, "JPEG picture of 60000x60000 pixels is too large\n");

    // The loader can be given a lower limit for files (the folder fuzz target does).
    ScratchDirectory scratch;
    writeBytes("pic.jpg", encodeJpeg(4, 4, solidRgb(4, 4, 1, 2, 3)));
    console = captureConsole([] { EXPECT_FALSE(JpegLoader(15).load("pic.jpg")); });
    EXPECT_EQ(console.err, "JPEG picture of 4x4 pixels is too large\n");
}

TEST(JpegLoader, ReadsFilesAndStopsTheStartUpForMissingOnes) {
    ScratchDirectory scratch;
    writeBytes("pic.jpg", encodeJpeg(2, 2, solidRgb(2, 2, 255, 0, 0)));
    std::unique_ptr<Image> image;
    CapturedConsole console = captureConsole([&] { image = JpegLoader().load("pic.jpg"); });
    ASSERT_TRUE(image);
    EXPECT_EQ(console.out, "xsize: 2\nysize: 2\n");
    expectPixelNear(*image, 3, {0, 0, 255, 255});

    try {
        JpegLoader().load("absent.jpg");
        ADD_FAILURE() << "a missing picture was loaded";
    } catch (const MissingPicture& missing) {
        EXPECT_EQ(missingPictureMessage(missing), "cannot open picture file absent.jpg: No such file or directory\n");
    }
}

}  // namespace
