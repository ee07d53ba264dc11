#pragma once
// Reading back what was drawn, for captures and tests.
#include <cstdint>
#include <vector>

// What was drawn (the window's back buffer, or the off-screen framebuffer
// while drawing there) as RGBA bytes of a region, rows bottom first (GL
// order); empty without a current context or for an empty region.
std::vector<uint8_t> readFramebufferRGBA(int x, int y, int width, int height);
// The same into width * height * 4 bytes at rgba; false, with nothing
// written, without a context or for an empty region.
bool readFramebufferInto(uint8_t* rgba, int x, int y, int width, int height);
