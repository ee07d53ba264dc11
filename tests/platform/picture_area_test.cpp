#include "platform/picture_area.h"

#include <gtest/gtest.h>

namespace {

TEST(PictureAreaTest, LargestCentredFourByThree) {
    // The player's own size and its multiples fill the drawable.
    EXPECT_EQ(pictureAreaIn(640, 480), (PixelArea{0, 0, 640, 480}));
    EXPECT_EQ(pictureAreaIn(2560, 1920), (PixelArea{0, 0, 2560, 1920}));
    // Wide panels: bars left and right.
    EXPECT_EQ(pictureAreaIn(1920, 1080), (PixelArea{240, 0, 1440, 1080}));
    EXPECT_EQ(pictureAreaIn(3840, 2160), (PixelArea{480, 0, 2880, 2160}));
    EXPECT_EQ(pictureAreaIn(1366, 768), (PixelArea{171, 0, 1024, 768}));
    // Tall drawables: bars above and below.
    EXPECT_EQ(pictureAreaIn(480, 640), (PixelArea{0, 140, 480, 360}));
    EXPECT_EQ(pictureAreaIn(1280, 1024), (PixelArea{0, 32, 1280, 960}));
}

TEST(PictureAreaTest, OddAndTinySizesStayInside) {
    // An odd spare column goes to the right, not half a pixel to each side.
    EXPECT_EQ(pictureAreaIn(641, 480), (PixelArea{0, 0, 640, 480}));
    EXPECT_EQ(pictureAreaIn(643, 481), (PixelArea{1, 0, 641, 481}));
    EXPECT_EQ(pictureAreaIn(641, 481), (PixelArea{0, 0, 641, 480}));
    EXPECT_EQ(pictureAreaIn(1, 1), (PixelArea{0, 0, 1, 1}));
    EXPECT_EQ(pictureAreaIn(320, 0), (PixelArea{159, 0, 1, 1}));
    EXPECT_EQ(pictureAreaIn(0, 0), (PixelArea{0, 0, 1, 1}));
    for (int width = 1; width < 200; width += 7)
        for (int height = 1; height < 200; height += 5) {
            const PixelArea area = pictureAreaIn(width, height);
            EXPECT_GE(area.x, 0);
            EXPECT_GE(area.y, 0);
            EXPECT_LE(area.x + area.width, width);
            EXPECT_LE(area.y + area.height, height);
            // One side is always whole.
            EXPECT_TRUE(area.width == width || area.height == height) << width << "x" << height;
        }
}

}  // namespace
