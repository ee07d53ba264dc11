#pragma once
// The demo and the parts of the machine the frame loop, clock, capture and
// benchmark use, in one place. A null member means the player's own (the
// window, the steady clock); tests put their doubles in through one
// PlayerContextScope, so nothing global is left changed after a test.
#include <cstddef>
#include <cstdint>

#include "platform/events.h"

class DemoInterface;

struct PlayerContext {
    DemoInterface* demo = nullptr;

    // The window as the frame loop sees it.
    PendingEvent (*takeEvent)() = nullptr;
    void (*setTitle)(const char* title) = nullptr;
    void (*swapBuffers)() = nullptr;
    bool (*fullScreen)() = nullptr;

    // The frame clock's counter and its counts per second.
    int64_t (*clockCounter)() = nullptr;
    int64_t clockFrequency = 0;

    // A capture: the back buffer as width * height * 4 RGBA bytes, rows
    // bottom first, and the next frames stereo frames of the offline mix.
    void (*readFrame)(uint8_t* rgba, int width, int height) = nullptr;
    void (*renderAudio)(int16_t* out, std::size_t frames) = nullptr;

    // A benchmark: seconds on a steady clock, waiting for the GL to finish,
    // and a frame that only clears and swaps.
    double (*now)() = nullptr;
    void (*waitForGL)() = nullptr;
    void (*drawEmptyFrame)() = nullptr;
};

// The context in force.
PlayerContext& playerContext();

// Puts a context in force for its lifetime and then the previous one back.
class PlayerContextScope {
public:
    explicit PlayerContextScope(const PlayerContext& context);
    ~PlayerContextScope();
    PlayerContextScope(const PlayerContextScope&) = delete;
    PlayerContextScope& operator=(const PlayerContextScope&) = delete;

private:
    PlayerContext previous;
};
