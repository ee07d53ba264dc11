#pragma once
// A real 640x480 GL context with one of the player's render states, for
// tests that look at pixels. Needs a display (Xvfb under ctest).
#include <cstdint>
#include <memory>

#include <gtest/gtest.h>

#include "support/picture_files.h"

class RenderState;

enum class TestRenderer { FixedFunction, Gles2 };

class GlTestScreen {
public:
    // Gles2: an OpenGL ES 2 context drawn through Gles2RenderState.
    explicit GlTestScreen(TestRenderer renderer = TestRenderer::FixedFunction);
    ~GlTestScreen();
    GlTestScreen(const GlTestScreen&) = delete;
    GlTestScreen& operator=(const GlTestScreen&) = delete;

    bool isOpen() const { return open; }
    RenderState& renderState() { return *glRenderState; }
    // Clears colour and depth; each channel is 0 or 1 (full).
    void clear(int red, int green, int blue);
    // The pixel at column x of row y, row 0 at the bottom (GL order).
    Rgba pixel(int x, int y) const;

private:
    bool open = false;
    std::unique_ptr<RenderState> glRenderState;
};

// Success when red, green and blue are each within tolerance (alpha ignored).
::testing::AssertionResult colourNear(const Rgba& actual, const Rgba& expected, int tolerance = 2);
