#include "platform/gl_render_state.h"

#include <GL/gl.h>

#include <cmath>
#include <string>
#include <vector>

#include "support/gl_context.h"
#include "support/headless_gl.h"
#include "support/hidden_draws_frame.h"
#include "support/recording_render_state.h"
#include "support/shadow_check.h"

namespace {

GLint getInteger(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

std::vector<float> matrix(GLenum which) {
    std::vector<float> values(16);
    glGetFloatv(which, values.data());
    return values;
}

void expectMatrixNear(const std::vector<float>& actual, const std::vector<float>& expected) {
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(actual[i], expected[i], 1e-5) << "element " << i;
}

class GlRenderStateTest : public GlContextTest {
protected:
    GlRenderState state;
};

TEST_F(GlRenderStateTest, CodeTablesReachGl) {
    const GLenum factors[] = {GL_ONE, GL_ONE_MINUS_SRC_ALPHA, GL_SRC_ALPHA};
    for (int source = 0; source < 3; ++source) {
        state.setBlendFunc(BlendFactor(source), BlendFactor(2 - source));
        EXPECT_EQ(getInteger(GL_BLEND_SRC), GLint(factors[source]));
        EXPECT_EQ(getInteger(GL_BLEND_DST), GLint(factors[2 - source]));
    }
    state.setBlendFunc(BlendFactor(3), BlendOne);  // outside the table: unchanged
    EXPECT_EQ(getInteger(GL_BLEND_SRC), GLint(GL_SRC_ALPHA));

    const GLenum generation[] = {GL_SPHERE_MAP, GL_EYE_LINEAR, GL_OBJECT_LINEAR};
    for (int code = 0; code < 3; ++code) {
        state.setTexGen(TexGenMode(code));
        GLint s = 0, t = 0;
        glGetTexGeniv(GL_S, GL_TEXTURE_GEN_MODE, &s);
        glGetTexGeniv(GL_T, GL_TEXTURE_GEN_MODE, &t);
        EXPECT_EQ(s, GLint(generation[code]));
        EXPECT_EQ(t, GLint(generation[code]));
    }
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_GEN_S));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_GEN_T));

    const GLenum environment[] = {GL_ADD, GL_MODULATE, GL_REPLACE};
    for (int code = 0; code < 3; ++code) {
        state.setTexEnv(TexEnvMode(code));
        GLint mode = 0;
        glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
        EXPECT_EQ(mode, GLint(environment[code]));
    }

    // Codes 0-3 are valid vertex and texture coordinate types; 4 is for indices.
    const GLenum types[] = {GL_FLOAT, GL_DOUBLE, GL_INT, GL_SHORT};
    static const double data[64] = {};
    for (int code = 0; code < 4; ++code) {
        state.setVertexArray(data, 3, ElementType(code), 0);
        state.setTexCoordArray(data, 2, ElementType(code), 0);
        state.setNormalArray(data, 3, ElementType(code), 0);
        EXPECT_EQ(getInteger(GL_VERTEX_ARRAY_TYPE), GLint(types[code]));
        EXPECT_EQ(getInteger(GL_TEXTURE_COORD_ARRAY_TYPE), GLint(types[code]));
        EXPECT_EQ(getInteger(GL_NORMAL_ARRAY_TYPE), GLint(types[code]));
    }
    EXPECT_TRUE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_TRUE(glIsEnabled(GL_NORMAL_ARRAY));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GlRenderStateTest, UnknownMatrixModesAndTextureUnitsChangeNothing) {
    state.setMatrixMode(MatrixProjection);
    EXPECT_EQ(getInteger(GL_MATRIX_MODE), GLint(GL_PROJECTION));
    state.setMatrixMode(MatrixMode(2));
    EXPECT_EQ(getInteger(GL_MATRIX_MODE), GLint(GL_PROJECTION));
    state.setMatrixMode(MatrixModelView);
    EXPECT_EQ(getInteger(GL_MATRIX_MODE), GLint(GL_MODELVIEW));
    state.setMatrixMode(MatrixMode(-1));
    EXPECT_EQ(getInteger(GL_MATRIX_MODE), GLint(GL_MODELVIEW));

    state.selectTextureUnit(3);
    EXPECT_EQ(getInteger(GL_ACTIVE_TEXTURE), GLint(GL_TEXTURE3));
    EXPECT_EQ(getInteger(GL_CLIENT_ACTIVE_TEXTURE), GLint(GL_TEXTURE3));
    state.selectTextureUnit(4);
    state.selectTextureUnit(-1);
    EXPECT_EQ(getInteger(GL_ACTIVE_TEXTURE), GLint(GL_TEXTURE3));
    EXPECT_EQ(getInteger(GL_CLIENT_ACTIVE_TEXTURE), GLint(GL_TEXTURE3));

    // Disabling unit 1 leaves unit 0's texturing on and unit 1 selected.
    state.selectTextureUnit(0);
    state.bindTexture(0);
    state.disableTextureUnit(1);
    EXPECT_EQ(getInteger(GL_ACTIVE_TEXTURE), GLint(GL_TEXTURE1));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    state.selectTextureUnit(0);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

struct FilterCase {
    int mode;
    GLint magnification;
    GLint minification;
    bool mipmaps;
};

TEST_F(GlRenderStateTest, CreateTextureFollowsFilterAndWrapTables) {
    const FilterCase cases[] = {
        {1, GL_NEAREST, GL_NEAREST, false},
        {2, GL_LINEAR, GL_LINEAR, false},
        {3, GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR, false},  // mipmapped filter, one level
        {4, GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR, true},
        {5, GL_NEAREST, GL_NEAREST_MIPMAP_LINEAR, true},
        {0, GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR, false},
        {7, GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR, true},
        {-1, GL_LINEAR, GL_LINEAR_MIPMAP_LINEAR, true},  // every bit set, so mipmaps too
    };
    const std::vector<uint8_t> pixels(8 * 4 * 4, 200);
    for (const FilterCase& c : cases) {
        SCOPED_TRACE("filter mode " + std::to_string(c.mode));
        const int clamp = c.mode % 2 ? 1 : 0;
        testing::internal::CaptureStdout();
        const uint32_t name = state.createTexture(8, 4, pixels.data(), TextureWrap(clamp), TextureFilter(c.mode));
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.mipmaps ? "building 2d mipmaps...\n" : "");

        EXPECT_NE(name, 0u);
        EXPECT_EQ(getInteger(GL_TEXTURE_BINDING_2D), GLint(name));
        GLint value = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
        EXPECT_EQ(value, c.magnification);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
        EXPECT_EQ(value, c.minification);
        const GLint wrap = clamp ? GL_CLAMP : GL_REPEAT;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
        EXPECT_EQ(value, wrap);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &value);
        EXPECT_EQ(value, wrap);
        glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &value);
        EXPECT_EQ(value, GLint(GL_ADD));

        GLint width = 0, levelOneWidth = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &levelOneWidth);
        EXPECT_EQ(width, 8);
        EXPECT_EQ(levelOneWidth, c.mipmaps ? 4 : 0);
    }
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GlRenderStateTest, ProjectionsReplaceTheMatrixAndStaySelected) {
    const std::vector<float> modelView = matrix(GL_MODELVIEW_MATRIX);
    state.setMatrixMode(MatrixModelView);
    state.setPerspective(90.0f, 2.0f, 1.0f, 3.0f);
    state.setMatrixMode(MatrixModelView);
    state.setPerspective(90.0f, 2.0f, 1.0f, 3.0f);  // twice: loaded, not multiplied
    EXPECT_EQ(getInteger(GL_MATRIX_MODE), GLint(GL_PROJECTION));
    // f = cot(45 deg) = 1; near 1, far 3.
    expectMatrixNear(matrix(GL_PROJECTION_MATRIX), {0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, -2, -1, 0, 0, -3, 0});

    state.setMatrixMode(MatrixModelView);
    state.setOrtho2D(0.0f, 640.0f, 0.0f, 480.0f);
    EXPECT_EQ(getInteger(GL_MATRIX_MODE), GLint(GL_PROJECTION));
    expectMatrixNear(matrix(GL_PROJECTION_MATRIX),
                     {2.0f / 640, 0, 0, 0, 0, 2.0f / 480, 0, 0, 0, 0, -1, 0, -1, -1, 0, 1});
    // The model-view matrix was left alone by both.
    EXPECT_EQ(matrix(GL_MODELVIEW_MATRIX), modelView);
}

TEST_F(GlRenderStateTest, ClearColorComponentsAreUnscaled) {
    state.setClearColor(Color(0, 0, 0));
    state.clearColorBuffer();
    EXPECT_EQ(readFramebufferRGBA(320, 240, 1, 1), (std::vector<uint8_t>{0, 0, 0, 0}));

    state.setClearColor(Color(1, 0, 1));
    state.clearColorBuffer();
    EXPECT_EQ(readFramebufferRGBA(10, 10, 1, 1), (std::vector<uint8_t>{255, 0, 255, 0}));

    GLfloat depth = 0;
    glClearDepth(0.25);
    state.clearDepthBuffer();
    glReadPixels(5, 5, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_NEAR(depth, 0.25f, 1e-3);
    GLint depthBits = getInteger(GL_DEPTH_BITS);
    EXPECT_GE(depthBits, 16);
}

// A triangle over the lower left half of the window, drawn white on black.
class TriangleDrawTest : public GlRenderStateTest {
protected:
    void SetUp() override {
        GlRenderStateTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        state.setOrtho2D(0.0f, 640.0f, 0.0f, 480.0f);
        state.setMatrixMode(MatrixModelView);
        state.loadIdentity();
        state.setClearColor(Color(0, 0, 0));
        state.clearColorBuffer();
        glColor3f(1, 1, 1);
        state.setVertexArray(corners, 2, ElementFloat, 0);
    }
    bool whiteAt(int x, int y) { return readFramebufferRGBA(x, y, 1, 1)[0] == 255; }

    const float corners[8] = {0, 0, 640, 0, 0, 480, 640, 480};
};

TEST_F(TriangleDrawTest, IndexedDrawLandsOnKnownPixels) {
    const uint32_t indices[] = {3, 0, 2, 1};  // only the first three are drawn
    state.setIndexArray(indices, 3, ElementUnsignedInt);
    state.drawIndexedTriangles();
    EXPECT_TRUE(whiteAt(10, 460));  // top left: corners 0, 2 and 3
    EXPECT_TRUE(whiteAt(320, 470));
    EXPECT_FALSE(whiteAt(630, 10));  // bottom right belongs to 0, 1, 3
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(TriangleDrawTest, ArrayDrawAndUnknownIndexTypeDrawNothingElse) {
    const uint32_t indices[] = {0, 1, 3};
    state.setIndexArray(indices, 3, ElementType(9));  // no such type: nothing to draw
    state.drawIndexedTriangles();
    EXPECT_FALSE(whiteAt(630, 10));

    state.drawTriangles(3);  // corners 0, 1, 2: bottom left
    EXPECT_TRUE(whiteAt(10, 10));
    EXPECT_FALSE(whiteAt(630, 470));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// Arrays set for one draw are switched off before a later draw that did not
// set them again, on every unit; the selected client unit stays selected.
TEST_F(TriangleDrawTest, ADrawReadsOnlyTheArraysSetForIt) {
    const float normals[9] = {};
    const float texCoords[8] = {};
    state.setNormalArray(normals, 3, ElementFloat, 0);
    state.selectTextureUnit(1);
    state.setTexCoordArray(texCoords, 2, ElementFloat, 0);
    state.drawTriangles(3);
    EXPECT_TRUE(glIsEnabled(GL_NORMAL_ARRAY));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));

    state.selectTextureUnit(0);
    state.setVertexArray(corners, 2, ElementFloat, 0);
    state.setTexCoordArray(texCoords, 2, ElementFloat, 0);
    state.drawTriangles(3);
    EXPECT_TRUE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_NORMAL_ARRAY));
    EXPECT_EQ(getInteger(GL_CLIENT_ACTIVE_TEXTURE), GLint(GL_TEXTURE0));
    state.selectTextureUnit(1);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// One effect-like sequence through both implementations: the recording logs
// exactly what the GL one was asked to do.
void drawLayer(RenderState& renderState, const float* vertices, uint32_t texture) {
    renderState.setOrtho2D(0, 640, 0, 480);
    renderState.setMatrixMode(MatrixModelView);
    renderState.loadIdentity();
    renderState.disableDepthTest();
    renderState.pushMatrix();
    renderState.translate(320, 240, 0);
    renderState.rotate(45, 0, 0, 1);
    renderState.scale(2, 2, 1);
    renderState.selectTextureUnit(1);
    renderState.bindTexture(texture);
    renderState.enableBlending();
    renderState.setBlendFunc(BlendSrcAlpha, BlendOneMinusSrcAlpha);
    renderState.setVertexArray(vertices, 2, ElementFloat, 8);
    renderState.drawTriangles(3);
    renderState.popMatrix();
}

TEST_F(GlRenderStateTest, RecordingLogsWhatTheGlImplementationDoes) {
    const float vertices[6] = {0, 0, 10, 0, 0, 10};
    const std::vector<uint8_t> pixels(4 * 4 * 4, 255);
    const uint32_t texture = state.createTexture(4, 4, pixels.data(), TextureWrapRepeat, TextureFilterLinear);
    drawLayer(state, vertices, texture);
    EXPECT_EQ(getInteger(GL_MATRIX_MODE), GLint(GL_MODELVIEW));
    EXPECT_EQ(getInteger(GL_ACTIVE_TEXTURE), GLint(GL_TEXTURE1));
    EXPECT_EQ(getInteger(GL_TEXTURE_BINDING_2D), GLint(texture));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(getInteger(GL_MODELVIEW_STACK_DEPTH), 1);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    RecordingRenderState recording;
    drawLayer(recording, vertices, texture);
    const std::vector<std::string> expected = {"setOrtho2D(0,640,0,480)",
                                               "setMatrixMode(0)",
                                               "loadIdentity()",
                                               "disableDepthTest()",
                                               "pushMatrix()",
                                               "translate(320,240,0)",
                                               "rotate(45,0,0,1)",
                                               "scale(2,2,1)",
                                               "selectTextureUnit(1)",
                                               "bindTexture(" + std::to_string(texture) + ")",
                                               "enableBlending()",
                                               "setBlendFunc(2,1)",
                                               "setVertexArray(2,0,8)",
                                               "drawTriangles(3)",
                                               "popMatrix()"};
    EXPECT_EQ(recording.texts(), expected);
    EXPECT_EQ(recording.calls[12].pointer, vertices);
}

TEST_F(GlRenderStateTest, HiddenDrawsLeaveNeitherStateNorPicture) {
    expectHiddenDrawsLeaveNoTrace(state);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(GlRenderStateTest, ShadowFollowsGlThroughHiddenAndOutsideDraws) {
    expectShadowFollowsSavesAndRestores(state, state.sharedGlState());
}

TEST_F(GlRenderStateTest, FramebufferReadsRejectEmptyRegions) {
    EXPECT_TRUE(readFramebufferRGBA(0, 0, 0, 10).empty());
    EXPECT_TRUE(readFramebufferRGBA(0, 0, 10, -1).empty());
    EXPECT_EQ(readFramebufferRGBA(0, 0, 2, 3).size(), 24u);
}

}  // namespace
