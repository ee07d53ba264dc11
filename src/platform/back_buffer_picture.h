#pragma once
// Puts a picture made on the CPU into the back buffer, over what the demo
// drew: for a view that changes frames after they are drawn.
#include <cstdint>

#include "platform/render_state.h"

// Writes width * height RGBA bytes (rows bottom first, as read back) at the
// lower left corner of the back buffer; the render state puts back every GL
// state it keeps.
// False, with nothing drawn, without a current desktop GL context (an
// OpenGL ES one has no pixel drawing).
bool drawIntoBackBuffer(RenderState& renderState, const uint8_t* rgba, int width, int height);
