#include "platform/tool_overlay.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "platform/extensions.h"
#include "platform/framebuffer.h"
#include "platform/gl_render_state.h"
#include "platform/window.h"
#include "support/gl_context.h"

namespace {

class ToolOverlayTest : public ::testing::Test {
protected:
    void SetUp() override {
        QUARN_SKIP_WITHOUT_DISPLAY();
        ASSERT_TRUE(openWindow(640, 480, false));
        ASSERT_TRUE(openToolOverlay());
        ASSERT_NE(multitexture.glActiveTextureARB, nullptr);
    }
    void TearDown() override {
        closeToolOverlay();
        closeWindow();
    }
};

std::array<uint8_t, 4> pixelAt(int x, int y) {
    const std::vector<uint8_t> rgba = readFramebufferRGBA(x, y, 1, 1);
    return {rgba[0], rgba[1], rgba[2], rgba[3]};
}

// State the effects may leave behind at the end of a frame, which the panel
// must neither be spoilt by nor change for the next frame.
struct LeftOverState {
    std::array<GLfloat, 4> colour{};
    GLint activeUnit = 0, clientUnit = 0, matrixMode = 0;
    GLboolean vertexArray = GL_FALSE, unit1Texture = GL_FALSE, texGen = GL_FALSE, fog = GL_FALSE;
    bool operator==(const LeftOverState&) const = default;
};

LeftOverState leftOverState() {
    LeftOverState state;
    glGetFloatv(GL_CURRENT_COLOR, state.colour.data());
    glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &state.activeUnit);
    glGetIntegerv(GL_CLIENT_ACTIVE_TEXTURE_ARB, &state.clientUnit);
    glGetIntegerv(GL_MATRIX_MODE, &state.matrixMode);
    state.vertexArray = glIsEnabled(GL_VERTEX_ARRAY);
    state.unit1Texture = glIsEnabled(GL_TEXTURE_2D);
    multitexture.glActiveTextureARB(GL_TEXTURE0_ARB);
    state.texGen = glIsEnabled(GL_TEXTURE_GEN_S);
    state.fog = glIsEnabled(GL_FOG);
    multitexture.glActiveTextureARB(static_cast<GLenum>(state.activeUnit));
    return state;
}

TEST_F(ToolOverlayTest, PanelIsDrawnWhateverTheFrameLeftAndPutsEverythingBack) {
    GlRenderState renderState;
    renderState.setClearColor(Color(0, 0, 0));
    renderState.clearColorBuffer();
    // Sphere mapping, a second texture unit and a vertex array left on, as
    // the effects' draws leave them.
    renderState.selectTextureUnit(0);
    renderState.setTexGen(TexGenSphereMap);
    static const GLfloat corner[] = {0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 1.0f};
    renderState.setVertexArray(corner, 2, ElementFloat, 0);
    renderState.selectTextureUnit(1);
    renderState.bindTexture(0);
    renderState.setMatrixMode(MatrixProjection);
    renderState.setColor(0.25f, 0.5f, 0.75f, 1.0f);
    const LeftOverState before = leftOverState();
    const std::array<uint8_t, 4> middle = pixelAt(320, 240);

    // A panel that sizes itself to its lines is measured on its first frame
    // and shown from the second.
    const std::vector<OverlayLine> lines{{"iDemo.dat:3: error: a line long enough to be seen", 255, 110, 110}};
    drawToolOverlay(renderState, lines);
    drawToolOverlay(renderState, lines);

    EXPECT_TRUE(leftOverState() == before);
    // The panel holds the top left corner; the middle of the picture is left.
    const std::array<uint8_t, 4> panel = pixelAt(2, 477);
    EXPECT_GT(panel[0] + panel[1] + panel[2], 0) << "no panel drawn";
    EXPECT_EQ(pixelAt(320, 240), middle);
}

}  // namespace
