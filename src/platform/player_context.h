#pragma once
// Everything the player reaches from anywhere, in one place: the render
// state, the demo, the draw watcher and the parts of the machine the frame
// loop, clock, capture, benchmark and script reader use. A null member means
// the player's own (the window, the steady clock, the console); tests put
// their doubles in through one PlayerContextScope, so nothing global is left
// changed after a test.
#include <cstddef>
#include <cstdint>

#include "platform/events.h"

class RenderState;
class DemoInterface;
class EffectDrawObserver;

struct PlayerContext {
    RenderState* renderState = nullptr;
    DemoInterface* demo = nullptr;
    // Watches every effect draw (the benchmark); null watches nothing.
    EffectDrawObserver* drawObserver = nullptr;

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

    // The pause after a broken script block.
    void (*waitForKey)() = nullptr;

    // Lower caps on what a demo's files make the player build: pixels of a
    // JPEG picture, particles of a cloud, grid steps of a parametric
    // surface. Zero keeps the player's own limit. The demo-folder fuzz target
    // lowers them so that a few bytes of input never cost seconds.
    std::size_t maxJpegPixels = 0;
    int maxParticles = 0;
    int maxGridResolution = 0;
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
