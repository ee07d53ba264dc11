#pragma once
// The bundled demo loaded the way the player loads it, for measuring.
#include <time.h>

#include <chrono>
#include <memory>

#include "player/demo.h"

// Changes into the demo directory (the given one, else ./demo) and makes
// SDL's audio silent unless the caller chose a driver. False when the
// directory cannot be entered.
bool enterDemoDirectory(const char* directory);

class Music;

// The music of the demos loadDemo makes: the program's one.
Music& benchMusic();

// A Demo over test.dat, already initialised.
std::unique_ptr<Demo> loadDemo();

inline double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// CPU time of the calling thread: on a loaded machine, unlike the wall
// clock, it does not count the time other processes had the core.
inline double threadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}
