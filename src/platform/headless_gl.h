#pragma once
// A real GL context for tests and tools: a hidden window of the given size
// with the same pixel format the player asks for (needs a display, e.g. Xvfb).
#include <cstdint>
#include <vector>

bool openHeadlessGLContext(int width, int height);
void closeHeadlessGLContext();
void swapHeadlessGLBuffers();
// Reads the back buffer as RGBA bytes, rows bottom first (GL order).
std::vector<uint8_t> readFramebufferRGBA(int x, int y, int width, int height);
