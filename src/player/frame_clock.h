#pragma once
// The demo's only time source: seconds since start, from a 64-bit
// high-resolution counter (the steady clock unless one is given).
#include <cstdint>

class FrameClock {
public:
    // The steady clock.
    FrameClock();
    // counter() counts frequency times a second.
    FrameClock(int64_t (*counter)(), int64_t frequency);

    // Reads the counter and keeps it as the start.
    void start();
    // Seconds since start; 0 before start. Callers keep it as a float.
    double seconds();

private:
    int64_t (*counter)();
    int64_t counterFrequency;
    int64_t frequency = 0;
    int64_t startCount = 0;
    int64_t currentCount = 0;
};
