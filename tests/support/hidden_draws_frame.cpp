#include "support/hidden_draws_frame.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/framebuffer.h"
#include "platform/render_state.h"

namespace {
const float square[12] = {-0.5f, -0.5f, 0.5f, -0.5f, 0.5f, 0.5f, -0.5f, -0.5f, 0.5f, 0.5f, -0.5f, 0.5f};
const float wholeView[12] = {-1, -1, 1, -1, 1, 1, -1, -1, 1, 1, -1, 1};
const unsigned char white[4] = {255, 255, 255, 255};

void drawSquare(RenderState& state) {
    state.setVertexArray(square, 2, ElementFloat, 0);
    state.drawTriangles(6);
}

// The frame's pixels, the corner one (where hidden draws may land) zeroed.
std::vector<uint8_t> drawFrame(RenderState& state, bool hidden) {
    state.setClearColor(Color(0, 0, 0));
    state.clearColorBuffer();
    state.setMatrixMode(MatrixProjection);
    state.loadIdentity();
    state.setMatrixMode(MatrixModelView);
    state.loadIdentity();
    state.translate(0.25f, 0.0f, 0.0f);
    state.selectTextureUnit(0);
    state.disableTextureUnit(0);
    state.setBlendFunc(BlendOne, BlendOne);
    state.enableBlending();
    state.setColor(0.25f, 0.5f, 0.0f, 1.0f);
    drawSquare(state);
    if (hidden) {
        state.beginHiddenDraws();
        state.disableBlending();
        state.setClearColor(Color(1, 1, 1));
        state.setColor(1.0f, 0.0f, 1.0f, 1.0f);
        state.setMatrixMode(MatrixProjection);
        state.scale(0.5f, 0.5f, 1.0f);
        state.setMatrixMode(MatrixModelView);
        state.loadIdentity();
        state.selectTextureUnit(1);
        state.bindTexture(state.createTexture(1, 1, white, TextureWrapRepeat, TextureFilterLinear));
        state.setTexCoordArray(wholeView, 2, ElementFloat, 0);
        state.setVertexArray(wholeView, 2, ElementFloat, 0);
        state.drawTriangles(6);
        state.endHiddenDraws();
    }
    // Additive, tinted, shifted and untextured as before.
    drawSquare(state);
    std::vector<uint8_t> pixels = readFramebufferRGBA(0, 0, 640, 480);
    pixels[0] = pixels[1] = pixels[2] = pixels[3] = 0;
    return pixels;
}

}  // namespace

void expectHiddenDrawsLeaveNoTrace(RenderState& state) {
    const std::vector<uint8_t> plain = drawFrame(state, false);
    const std::vector<uint8_t> twice = readFramebufferRGBA(400, 240, 1, 1);
    EXPECT_NEAR(twice[0], 128, 1);
    EXPECT_EQ(twice[1], 255);
    EXPECT_TRUE(drawFrame(state, true) == plain);
    // The clear colour, too, is back.
    state.clearColorBuffer();
    std::vector<uint8_t> cleared = readFramebufferRGBA(320, 240, 1, 1);
    cleared.resize(3);
    EXPECT_EQ(cleared, (std::vector<uint8_t>{0, 0, 0}));
}
