#include "runtime/frame_clock.h"

#include <gtest/gtest.h>

namespace {

int64_t fakeCount = 0;
int64_t readFakeCounter() { return fakeCount; }

class FrameClockTest : public ::testing::Test {
protected:
    void TearDown() override { FrameClock::useCounter(nullptr, 0); }
};

TEST_F(FrameClockTest, LargeCountsKeepTheirDifference) {
    // As doubles both counts would round to the same value.
    const int64_t frequency = 10'000'000;
    fakeCount = (int64_t(1) << 62) + 1;
    FrameClock::useCounter(readFakeCounter, frequency);
    FrameClock::start();
    EXPECT_EQ(FrameClock::seconds(), 0.0);
    fakeCount += 1;
    EXPECT_EQ(static_cast<float>(FrameClock::seconds()), 1e-7f);
    fakeCount += 3 * frequency - 1;
    EXPECT_EQ(FrameClock::seconds(), 3.0);
}

TEST_F(FrameClockTest, StandsAtZeroUntilStartedAndWithoutARate) {
    fakeCount = 5000;
    FrameClock::useCounter(readFakeCounter, 1000);
    fakeCount = 9000;
    EXPECT_EQ(FrameClock::seconds(), 0.0);  // a new counter waits for start
    FrameClock::start();
    fakeCount = 9500;
    EXPECT_EQ(FrameClock::seconds(), 0.5);

    FrameClock::useCounter(readFakeCounter, 0);
    FrameClock::start();
    fakeCount = 10000;
    EXPECT_EQ(FrameClock::seconds(), 0.0);  // no rate: no division by zero
}

TEST_F(FrameClockTest, SteadyClockGrowsFromZero) {
    FrameClock::start();
    const double first = FrameClock::seconds();
    const double second = FrameClock::seconds();
    EXPECT_GE(first, 0.0);
    EXPECT_LT(first, 60.0);
    EXPECT_GE(second, first);
}

}  // namespace
