#include "platform/player_imports.h"

#include <chrono>

int64_t steadyClockCounter() { return std::chrono::steady_clock::now().time_since_epoch().count(); }

int64_t steadyClockFrequency() {
    using Period = std::chrono::steady_clock::period;
    return Period::den / Period::num;
}
