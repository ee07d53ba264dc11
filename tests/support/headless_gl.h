#pragma once
// A real GL context for tests and tools: a hidden window of the given size
// with the same pixel format the player asks for (needs a display, e.g. Xvfb).
#include "platform/framebuffer.h"

bool openHeadlessGLContext(int width, int height);
void closeHeadlessGLContext();
void swapHeadlessGLBuffers();
