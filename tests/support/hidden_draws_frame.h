#pragma once
// Checks, for either render state in a current 640x480 context, that draws
// made between beginHiddenDraws and endHiddenDraws change no state the next
// draw sees and reach no pixel but the corner one a frame's clear removes.
// A frame draws an additive, tinted, shifted, untextured square twice; the
// hidden draws come between the two and change blending, colour, clear
// colour, matrices, texture unit and arrays.

class RenderState;

void expectHiddenDrawsLeaveNoTrace(RenderState& state);
