#pragma once
// What the effects and readers still reach from anywhere: the render state,
// the draw watcher, the script reader's key wait and the readers' limits.
// A null member means the player's own (the console's key wait); tests put
// their doubles in through one PlayerContextScope, so nothing global is left
// changed after a test. The window, clock and sound are not here: they come
// in the import table (platform/player_imports.h) to what plays the demo.
#include <cstddef>
#include <cstdint>

class RenderState;
class EffectDrawObserver;

struct PlayerContext {
    RenderState* renderState = nullptr;
    // Watches every effect draw (the benchmark); null watches nothing.
    EffectDrawObserver* drawObserver = nullptr;

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
