#pragma once
// What the player takes from the machine: the window, the clock, the GL's
// finish and back buffer, and the offline sound mix, in one table. The entry
// point fills it with the real ones and hands it to what plays the demo;
// tests hand over their doubles instead. Nothing here is global: whatever
// needs a member is given the table.
#include <cstddef>
#include <cstdint>

#include "platform/events.h"

struct PlayerImports {
    // The window: its next event (and which player key it pressed), its
    // title, its buffer swap and whether it covers the display.
    PendingEvent (*takeEvent)(PlayerKey& key) = nullptr;
    void (*setTitle)(const char* title) = nullptr;
    void (*swapBuffers)() = nullptr;
    bool (*fullScreen)() = nullptr;

    // The frame clock's counter and its counts per second.
    int64_t (*clockCounter)() = nullptr;
    int64_t clockFrequency = 0;
    // Seconds on a steady clock, for measuring (benchmark, progress).
    double (*now)() = nullptr;

    // Waits until the GL has finished what was asked of it.
    void (*waitForGL)() = nullptr;
    // The back buffer as width * height * 4 RGBA bytes, rows bottom first.
    void (*readFrame)(uint8_t* rgba, int width, int height) = nullptr;

    // The next frames stereo frames of the offline sound mix.
    void (*renderAudio)(int16_t* out, std::size_t frames) = nullptr;
};

// The steady clock as a counter, and its counts per second: the clock of
// the player and of the browser.
int64_t steadyClockCounter();
int64_t steadyClockFrequency();
