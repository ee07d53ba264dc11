#include "authoring/flash_analysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int width = 640;
constexpr int height = 480;
constexpr int fps = 60;

struct Rgb {
    uint8_t r, g, b;
};
constexpr Rgb black{0, 0, 0};
constexpr Rgb white{255, 255, 255};

struct Box {
    int x, y, w, h;
};

// The picture at time t: a background and boxes of another colour.
struct Scene {
    Rgb background = black;
    Rgb boxColour = white;
    std::vector<Box> boxes;
};

void paint(std::vector<uint8_t>& rgba, const Scene& scene) {
    for (std::size_t i = 0; i < rgba.size(); i += 4) {
        rgba[i] = scene.background.r;
        rgba[i + 1] = scene.background.g;
        rgba[i + 2] = scene.background.b;
        rgba[i + 3] = 255;
    }
    for (const Box& box : scene.boxes) {
        for (int y = box.y; y < box.y + box.h; ++y) {
            for (int x = box.x; x < box.x + box.w; ++x) {
                uint8_t* pixel = &rgba[(static_cast<std::size_t>(y) * width + x) * 4];
                pixel[0] = scene.boxColour.r;
                pixel[1] = scene.boxColour.g;
                pixel[2] = scene.boxColour.b;
            }
        }
    }
}

// Plays seconds of frames at 60 a second through the analyser and returns
// one line per failing stretch.
std::vector<std::string> analyse(double seconds, const std::function<Scene(double)>& sceneAt) {
    FlashAnalysis analysis = startFlashAnalysis(width, height);
    FlashCells cells;
    std::vector<uint8_t> rgba(static_cast<std::size_t>(width) * height * 4);
    for (int frame = 0; frame < seconds * fps; ++frame) {
        const double t = static_cast<double>(frame) / fps;
        paint(rgba, sceneAt(t));
        measureFlashCells(rgba.data(), width, height, analysis.rules, cells);
        addFlashFrame(analysis, cells, t);
    }
    std::vector<std::string> lines;
    for (const FlashStretch& stretch : finishFlashAnalysis(analysis)) lines.push_back(flashStretchLine(stretch));
    return lines;
}

// On for the first half of each period between from and to; a tiny
// offset keeps frame times that land on an edge on its later side.
bool squareWave(double t, double hertz, double from, double to) {
    return t >= from && t < to && std::fmod((t - from) * hertz + 1e-6, 1.0) < 0.5;
}

const Box wholePicture{0, 0, width, height};

Scene strobe(double t, double hertz, Rgb off = black, Rgb on = white) {
    Scene scene{off, on, {}};
    if (squareWave(t, hertz, 1.0, 3.0)) scene.boxes.push_back(wholePicture);
    return scene;
}

}  // namespace

TEST(FlashAnalysisTest, FullScreenStrobeFailsWhereItFlashesOnly) {
    EXPECT_EQ(analyse(5.0, [](double t) { return strobe(t, 10.0); }),
              std::vector<std::string>{"flashes: 1.00 s to 2.95 s: 10 general flashes in one second (limit 3), on up "
                                       "to 100 % of the picture"});
}

TEST(FlashAnalysisTest, ThreeFlashesASecondPassAndFourFail) {
    EXPECT_TRUE(analyse(5.0, [](double t) { return strobe(t, 2.0); }).empty());
    // The window is one second wide, not one frame more: 3 Hz is 3 flashes.
    EXPECT_TRUE(analyse(5.0, [](double t) { return strobe(t, 3.0); }).empty());
    EXPECT_EQ(analyse(5.0, [](double t) { return strobe(t, 4.0); }).size(), 1u);
}

TEST(FlashAnalysisTest, SlowFadeAndBrightFlickerPass) {
    // Up and down once over four seconds.
    EXPECT_TRUE(analyse(5.0, [](double t) {
                    const auto level = static_cast<uint8_t>(255.0 * std::sin(std::min(t / 4.0, 1.0) * M_PI));
                    return Scene{{level, level, level}, white, {}};
                }).empty());
    // Between 0.85 and 1.0 relative luminance: the darker side is too bright
    // to make a general flash.
    EXPECT_TRUE(analyse(5.0, [](double t) { return strobe(t, 10.0, Rgb{237, 237, 237}, white); }).empty());
}

TEST(FlashAnalysisTest, AreaRuleCountsFlashesOnAQuarterOfATenDegreeField) {
    // The field is 27 x 20 cells of 8 pixels at 640 x 480: a quarter is 135.
    const auto spots = [](std::vector<Box> boxes) {
        return [boxes](double t) {
            Scene scene{black, white, {}};
            if (squareWave(t, 10.0, 1.0, 3.0)) scene.boxes = boxes;
            return scene;
        };
    };
    // 12 x 10 cells: under a quarter.
    EXPECT_TRUE(analyse(4.0, spots({{200, 160, 96, 80}})).empty());
    // 12 x 12 cells: over.
    EXPECT_EQ(analyse(4.0, spots({{200, 160, 96, 96}})).size(), 1u);
    // Two spots of 12 x 7 cells that flash together inside one field add up,
    // as the rule takes the combined area of concurrent flashes in a field.
    const std::vector<std::string> together = analyse(4.0, spots({{200, 160, 96, 56}, {200, 224, 96, 56}}));
    ASSERT_EQ(together.size(), 1u);
    EXPECT_EQ(together[0],
              "flashes: 1.00 s to 2.95 s: 10 general flashes in one second (limit 3), on up to 4 % of "
              "the picture");
    // The same two spots in opposite corners share no field.
    EXPECT_TRUE(analyse(4.0, spots({{0, 0, 96, 56}, {544, 424, 96, 56}})).empty());
}

TEST(FlashAnalysisTest, SaturatedRedAlternationFailsAsRedFlashesOnly) {
    // Pure red against a grey of the same relative luminance (0.2126): no
    // general flash at all, but a red one each cycle.
    const Rgb grey{127, 127, 127};
    const Rgb red{255, 0, 0};
    EXPECT_EQ(analyse(5.0, [&](double t) { return strobe(t, 5.0, grey, red); }),
              std::vector<std::string>{
                  "flashes: 1.00 s to 2.90 s: 5 red flashes in one second (limit 3), on up to 100 % of the picture"});
    // A pale red (R / (R + G + B) = 0.76) is not saturated: against a grey
    // of its luminance it makes no flash of either kind.
    EXPECT_TRUE(analyse(5.0, [&](double t) { return strobe(t, 5.0, Rgb{157, 157, 157}, Rgb{255, 110, 110}); }).empty());
}

TEST(FlashAnalysisTest, HoldingTheShownFrameNeverFails) {
    // What --safe does at worst: where the next picture would make the
    // window fail, the last one shown stays.
    FlashAnalysis analysis = startFlashAnalysis(width, height);
    FlashCells next, shown;
    std::vector<uint8_t> rgba(static_cast<std::size_t>(width) * height * 4);
    int held = 0;
    for (int frame = 0; frame < 5 * fps; ++frame) {
        const double t = static_cast<double>(frame) / fps;
        paint(rgba, strobe(t, 10.0));
        measureFlashCells(rgba.data(), width, height, analysis.rules, next);
        if (frame > 0 && flashFrameWouldFail(analysis, next, t))
            ++held;
        else
            shown = next;
        EXPECT_FALSE(addFlashFrame(analysis, shown, t).fails[0]) << t;
    }
    EXPECT_GT(held, 0);
    EXPECT_TRUE(finishFlashAnalysis(analysis).empty());
}
