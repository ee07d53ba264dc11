#include "recording/benchmark.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "framework/effect.h"
#include "platform/player_imports.h"
#include "recording/frame_statistics.h"

namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(FrameStatisticsTest, PercentilesByNearestRankAndTheWorstSecond) {
    EXPECT_EQ(percentile({}, 0.5), 0.0);
    EXPECT_EQ(percentile({4, 1, 3, 2}, 0.5), 2.0);
    EXPECT_EQ(percentile({5}, 0.99), 5.0);
    std::vector<double> hundred;
    for (int i = 100; i >= 1; --i) hundred.push_back(i);
    EXPECT_EQ(percentile(hundred, 0.99), 99.0);
    EXPECT_EQ(percentile(hundred, 1.0), 100.0);
    EXPECT_EQ(percentile(hundred, 0.0), 1.0);

    // Second 1 has one slow frame among fast ones, second 2 is slow
    // throughout: the 99th percentile sees both.
    std::vector<FrameSample> samples;
    for (int i = 0; i < 60; ++i) samples.push_back({0.0f + i / 60.0f, 2.0});
    for (int i = 0; i < 60; ++i) samples.push_back({1.0f + i / 60.0f, i == 30 ? 9.0 : 2.0});
    for (int i = 0; i < 60; ++i) samples.push_back({2.0f + i / 60.0f, 8.0});
    const WorstSecond worst = findWorstSecond(samples);
    EXPECT_EQ(worst.second, 1);
    EXPECT_EQ(worst.p99Milliseconds, 9.0);
    EXPECT_EQ(worst.frames, 60);
    EXPECT_EQ(findWorstSecond({}).frames, 0);
}

// A clock that moves on by one millisecond each reading, and a count of
// GL waits and empty frames.
double fakeNow = 0.0;
int waits = 0;
int emptyFrames = 0;
double readFakeClock() { return fakeNow += 0.001; }
void countWait() { ++waits; }
void countEmptyFrame() { ++emptyFrames; }

class NamedEffect : public Effect {
public:
    explicit NamedEffect(std::string name) : name(std::move(name)) {}
    std::string typeName() override { return name; }

private:
    std::string name;
};

TEST(BenchmarkSessionTest, TimesFramesAsPlayedAndDrawsPerTypeInASecondPass) {
    fakeNow = 0.0;
    waits = 0;
    emptyFrames = 0;
    const PlayerImports fakes{.swapBuffers = countEmptyFrame, .now = readFakeClock, .waitForGL = countWait};
    BenchmarkSession session(fakes, 60, 0.0);
    NamedEffect layerA("FxGLLayerObject"), layerB("FxGLLayerObject"), uvmap("FxGLUVMap");
    const float times[4] = {0.0f, 0.5f, 1.0f, 2.0f};
    // What each frame draws: second 0 mostly layers, second 1 mostly the UV map.
    const std::vector<std::vector<Effect*>> draws = {
        {&layerA, &uvmap, &layerB}, {&layerA, &uvmap, &layerB}, {&uvmap, &layerA, &uvmap}, {&layerB}};
    const double extraWork[4] = {0.0, 0.0, 0.010, 0.004};
    auto play = [&] {
        for (int frame = 0; frame < 4; ++frame) {
            session.frameStarting(frame, times[frame]);
            for (Effect* effect : draws[frame]) {
                session.beforeDraw(*effect);
                session.afterDraw(*effect);
            }
            fakeNow += extraWork[frame];
            session.frameShown(frame, times[frame]);
        }
    };
    play();
    // As played: nothing waits for the GL, and each frame lasts from the end
    // of the one before.
    EXPECT_EQ(waits, 0);
    const BenchmarkFigures& figures = session.getFigures();
    ASSERT_EQ(figures.frames.size(), 4u);
    EXPECT_NEAR(figures.frames[1].milliseconds, 1.0, 1e-6);
    EXPECT_NEAR(figures.frames[2].milliseconds, 11.0, 1e-6);
    EXPECT_NEAR(figures.startUpMilliseconds, 2.0, 1e-6);
    EXPECT_TRUE(figures.effectTypes.empty());

    session.startDrawPass();
    play();
    EXPECT_EQ(waits, 2 * 10);
    EXPECT_EQ(figures.frames.size(), 4u);
    ASSERT_EQ(figures.effectTypes.size(), 2u);
    EXPECT_EQ(figures.effectTypes[0].draws, 6);

    const std::vector<std::string> lines = linesOf(session.finish());
    EXPECT_EQ(emptyFrames, 120);
    ASSERT_EQ(lines.size(), 16u);
    EXPECT_EQ(lines[0], "benchmark: 4 frames in steps of 1/60 s, demo time 0.000 to 2.000 s");
    EXPECT_EQ(lines[1], "frame times as played: no GL finish inside a frame");
    EXPECT_EQ(lines[2], "effect types from a second pass, each draw between two GL finishes:");
    EXPECT_EQ(lines[3], "effect type             draws     total ms    mean ms     max ms ms/frame");
    EXPECT_EQ(lines[4], "FxGLLayerObject             6        6.000      1.000      1.000    1.500");
    EXPECT_EQ(lines[5], "FxGLUVMap                   4        4.000      1.000      1.000    1.000");
    EXPECT_EQ(lines[8], "worst second p99           11.000 ms  (second 1, 1 frames)");
    EXPECT_EQ(lines[9], "worst seconds                 p99     costliest type (second pass, ms a frame)");
    EXPECT_EQ(lines[10], "  second 1                 11.000 ms  FxGLUVMap 2.000");
    EXPECT_EQ(lines[11], "  second 2                  5.000 ms  FxGLLayerObject 1.000");
    EXPECT_EQ(lines[12], "  second 0                  1.000 ms  FxGLLayerObject 2.000");
    EXPECT_EQ(lines[15],
              "benchmark: 4 frames, median 1.000 ms, p99 11.000 ms, worst second 1 (p99 11.000 ms), floor 1.000 ms, "
              "start-up 2 ms");
}

TEST(BenchmarkSessionTest, AReportWithoutFramesSaysSo) {
    const std::vector<std::string> lines = linesOf(formatBenchmarkReport(BenchmarkFigures{}));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "benchmark: no frames drawn");
    EXPECT_EQ(lines.back(),
              "benchmark: 0 frames, median 0.000 ms, p99 0.000 ms, worst second 0 (p99 0.000 ms), floor 0.000 ms, "
              "start-up 0 ms");
}

}  // namespace
