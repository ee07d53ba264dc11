#include "support/hidden_draws_frame.h"

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
}  // namespace

std::vector<uint8_t> drawFrameAroundHiddenDraws(RenderState& state, bool hidden) {
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
