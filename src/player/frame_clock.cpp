#include "player/frame_clock.h"

#include <chrono>

#include "platform/player_context.h"

namespace {

using SteadyPeriod = std::chrono::steady_clock::period;

int64_t readCounter() {
    if (auto counter = playerContext().clockCounter) return counter();
    return std::chrono::steady_clock::now().time_since_epoch().count();
}

int64_t counterFrequency() {
    if (playerContext().clockCounter) return playerContext().clockFrequency;
    return SteadyPeriod::den / SteadyPeriod::num;
}

}  // namespace

void FrameClock::start() {
    frequency = counterFrequency();
    startCount = readCounter();
}

double FrameClock::seconds() {
    // Not started (or a counter without a rate): time stands at 0.
    if (frequency <= 0) return 0.0;
    currentCount = readCounter();
    // Subtract as integers first: large counts would lose the difference
    // in floating point.
    const long double elapsed = static_cast<long double>(currentCount - startCount);
    return static_cast<double>(elapsed / static_cast<long double>(frequency));
}
