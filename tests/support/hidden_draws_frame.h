#pragma once
// One frame for the hidden-draw tests of both render states: an additive,
// tinted, shifted, untextured square drawn twice; with hidden set, draws
// between beginHiddenDraws and endHiddenDraws come between the two and
// change blending, colour, clear colour, matrices, texture unit and arrays.
// Returns the frame's pixels with the corner one (where hidden draws may
// land) zeroed.
#include <cstdint>
#include <vector>

class RenderState;

std::vector<uint8_t> drawFrameAroundHiddenDraws(RenderState& state, bool hidden);
