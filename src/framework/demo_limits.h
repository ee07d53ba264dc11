#pragma once
// How much a demo's files may make the player build. Whoever loads a demo
// hands these to the script reader, which gives them on to every effect's
// init.
#include <cstddef>
#include <cstdint>
#include <limits>

struct DemoLimits {
    // Entries of the script's effect table and of its instance table; a
    // definition past them is dropped with a message.
    std::size_t maxEffects = 512;
    std::size_t maxInstances = 512;
    // Caps below the effects' own limits on pixels of a JPEG picture,
    // particles of a cloud and grid steps of a parametric surface. The
    // player leaves them open; the demo-folder fuzz target lowers them so
    // that a few bytes of input never cost seconds.
    std::size_t maxJpegPixels = SIZE_MAX;
    int maxParticles = std::numeric_limits<int>::max();
    int maxGridResolution = std::numeric_limits<int>::max();
};
