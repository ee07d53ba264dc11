#pragma once
// The demo's only time source: seconds since start, from a 64-bit
// high-resolution counter.
#include <cstdint>

class FrameClock {
public:
    using Counter = int64_t (*)();

    // Reads the counter frequency, then the counter, and keeps both.
    static void start();
    // Seconds since start; 0 before start. Callers keep it as a float.
    static double seconds();

    // Replaces the counter (frequency in counts per second); null restores
    // the steady clock. The clock stands at 0 until the next start.
    static void useCounter(Counter counter, int64_t countsPerSecond);

private:
    static int64_t frequency;
    static int64_t startCount;
    static int64_t currentCount;
};
