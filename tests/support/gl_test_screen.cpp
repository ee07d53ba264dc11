#include "support/gl_test_screen.h"

#include <cstdlib>

#include "platform/gl_render_state.h"
#include "platform/gles2_render_state.h"
#include "platform/render_state.h"
#include "platform/window.h"
#include "support/headless_gl.h"

namespace {

bool openContext(TestRenderer renderer) {
    requestGLES2Contexts(renderer == TestRenderer::Gles2);
    const bool opened = openHeadlessGLContext(640, 480);
    requestGLES2Contexts(false);
    return opened;
}

std::unique_ptr<RenderState> makeRenderState(TestRenderer renderer) {
    if (renderer == TestRenderer::Gles2) return std::make_unique<Gles2RenderState>();
    return std::make_unique<GlRenderState>();
}

}  // namespace

GlTestScreen::GlTestScreen(TestRenderer renderer)
    : open(openContext(renderer)), glRenderState(makeRenderState(renderer)) {}

GlTestScreen::~GlTestScreen() {
    if (open) closeHeadlessGLContext();
}

void GlTestScreen::clear(int red, int green, int blue) {
    glRenderState->setClearColor(
        Color(static_cast<int8_t>(red), static_cast<int8_t>(green), static_cast<int8_t>(blue)));
    glRenderState->clearColorBuffer();
    glRenderState->clearDepthBuffer();
}

Rgba GlTestScreen::pixel(int x, int y) const {
    const std::vector<uint8_t> bytes = readFramebufferRGBA(x, y, 1, 1);
    if (bytes.size() < 4) return {0, 0, 0, 0};
    return {bytes[0], bytes[1], bytes[2], bytes[3]};
}

::testing::AssertionResult colourNear(const Rgba& actual, const Rgba& expected, int tolerance) {
    const bool near = std::abs(actual.r - expected.r) <= tolerance && std::abs(actual.g - expected.g) <= tolerance &&
                      std::abs(actual.b - expected.b) <= tolerance;
    auto result = near ? ::testing::AssertionSuccess() : ::testing::AssertionFailure();
    return result << "pixel (" << int(actual.r) << "," << int(actual.g) << "," << int(actual.b) << "), expected ("
                  << int(expected.r) << "," << int(expected.g) << "," << int(expected.b) << ")";
}
