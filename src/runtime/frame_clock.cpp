#include "runtime/frame_clock.h"

#include <chrono>

namespace {

using SteadyPeriod = std::chrono::steady_clock::period;

int64_t readSteadyClock() { return std::chrono::steady_clock::now().time_since_epoch().count(); }

FrameClock::Counter counter = readSteadyClock;
int64_t counterFrequency = SteadyPeriod::den / SteadyPeriod::num;

}  // namespace

int64_t FrameClock::frequency = 0;
int64_t FrameClock::startCount = 0;
int64_t FrameClock::currentCount = 0;

void FrameClock::start() {
    frequency = counterFrequency;
    startCount = counter();
}

double FrameClock::seconds() {
    // Not started (or a counter without a rate): time stands at 0.
    if (frequency <= 0) return 0.0;
    currentCount = counter();
    // Subtract as integers first: large counts would lose the difference
    // in floating point.
    const long double elapsed = static_cast<long double>(currentCount - startCount);
    return static_cast<double>(elapsed / static_cast<long double>(frequency));
}

void FrameClock::useCounter(Counter newCounter, int64_t countsPerSecond) {
    frequency = 0;  // the new counter has no start count yet
    if (newCounter) {
        counter = newCounter;
        counterFrequency = countsPerSecond;
    } else {
        counter = readSteadyClock;
        counterFrequency = SteadyPeriod::den / SteadyPeriod::num;
    }
}
