#pragma once
// The demo's only time source: seconds since start, from a 64-bit
// high-resolution counter (the context's, else the steady clock).
#include <cstdint>

class FrameClock {
public:
    // Reads the counter frequency, then the counter, and keeps both.
    void start();
    // Seconds since start; 0 before start. Callers keep it as a float.
    double seconds();

private:
    int64_t frequency = 0;
    int64_t startCount = 0;
    int64_t currentCount = 0;
};
