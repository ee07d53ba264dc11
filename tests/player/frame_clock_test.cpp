#include "player/frame_clock.h"

#include <gtest/gtest.h>

namespace {

int64_t fakeCount = 0;
int64_t readFakeCounter() { return fakeCount; }

TEST(FrameClockTest, LargeCountsKeepTheirDifference) {
    // As doubles both counts would round to the same value.
    const int64_t frequency = 10'000'000;
    fakeCount = (int64_t(1) << 62) + 1;
    FrameClock clock(readFakeCounter, frequency);
    clock.start();
    EXPECT_EQ(clock.seconds(), 0.0);
    fakeCount += 1;
    EXPECT_EQ(static_cast<float>(clock.seconds()), 1e-7f);
    fakeCount += 3 * frequency - 1;
    EXPECT_EQ(clock.seconds(), 3.0);
}

TEST(FrameClockTest, StandsAtZeroUntilStartedAndWithoutARate) {
    fakeCount = 5000;
    FrameClock clock(readFakeCounter, 1000);
    fakeCount = 9000;
    EXPECT_EQ(clock.seconds(), 0.0);  // a clock waits for start
    clock.start();
    fakeCount = 9500;
    EXPECT_EQ(clock.seconds(), 0.5);
    FrameClock withoutRate(readFakeCounter, 0);
    withoutRate.start();
    fakeCount = 10000;
    EXPECT_EQ(withoutRate.seconds(), 0.0);  // no rate: no division by zero
}

TEST(FrameClockTest, SteadyClockGrowsFromZero) {
    FrameClock clock;
    clock.start();
    const double first = clock.seconds();
    const double second = clock.seconds();
    EXPECT_GE(first, 0.0);
    EXPECT_LT(first, 60.0);
    EXPECT_GE(second, first);
}

}  // namespace
