#pragma once
// Lines of text over the picture for authoring tools, drawn with Dear ImGui
// into the player's GL window after the frame and before the swap. Only
// tools open it, so it never reaches a capture or a benchmark. The render
// state puts back whatever GL state it touches, so the next frame draws as
// without it; a frame it is not drawn on is untouched.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/render_state.h"

struct OverlayLine {
    std::string text;
    uint8_t red = 255, green = 255, blue = 255;
};

// After openWindow, with the fixed-function pipeline's context current.
// False when there is no window to draw into.
bool openToolOverlay();
// Draws the lines from the top left on a dark translucent panel, each
// wrapped to the window's width; those that do not fit are cut off at the
// bottom. Nothing at all for no lines.
void drawToolOverlay(RenderState& renderState, const std::vector<OverlayLine>& lines);
void closeToolOverlay();

// A frame of Dear ImGui over the picture for tools that draw more than
// lines: between begin and end, ImGui's calls draw (no-op until the overlay
// is open; begin returns false then and end must not be called).
bool beginToolFrame(RenderState& renderState);
// The panel of drawToolOverlay, inside a tool frame.
void addToolLines(const std::vector<OverlayLine>& lines);
// Also notes whether a text field has the keyboard: keys then type into it
// rather than steer playback.
void endToolFrame(RenderState& renderState);
// For a tool hidden while one of its text fields had the keyboard: the keys
// steer playback again.
void releaseToolKeyboard();
