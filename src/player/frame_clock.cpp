#include "player/frame_clock.h"

#include "platform/player_imports.h"

FrameClock::FrameClock() : FrameClock(steadyClockCounter, steadyClockFrequency()) {}

FrameClock::FrameClock(int64_t (*counter)(), int64_t frequency) : counter(counter), counterFrequency(frequency) {}

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
