#include "support/shadow_check.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <cstdint>

#include "platform/gl_state_shadow.h"
#include "platform/render_state.h"

namespace {

GLint integer(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

void expectGlHolds(const SharedGlState& shadow) {
    EXPECT_EQ(glIsEnabled(GL_CULL_FACE) != 0, shadow.cullFace);
    EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST) != 0, shadow.depthTest);
    EXPECT_EQ(glIsEnabled(GL_BLEND) != 0, shadow.blend);
    EXPECT_EQ(glIsEnabled(GL_SCISSOR_TEST) != 0, shadow.scissorTest);
    GLboolean depthWrite = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrite);
    EXPECT_EQ(depthWrite != 0, shadow.depthWrite);
    EXPECT_EQ(integer(GL_BLEND_SRC_RGB), GLint(shadow.blendSource));
    EXPECT_EQ(integer(GL_BLEND_DST_RGB), GLint(shadow.blendDestination));
    GLfloat clear[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(clear[i], shadow.clearColor[i]) << "clear colour " << i;
    if (shadow.scissorTest) {
        GLint box[4] = {};
        glGetIntegerv(GL_SCISSOR_BOX, box);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(box[i], shadow.scissorBox[i]) << "scissor box " << i;
    }
    EXPECT_EQ(integer(GL_PACK_ALIGNMENT), shadow.packAlignment);
    EXPECT_EQ(integer(GL_UNPACK_ALIGNMENT), shadow.unpackAlignment);
    const GLint active = integer(GL_ACTIVE_TEXTURE);
    EXPECT_EQ(active, GLint(GL_TEXTURE0 + shadow.activeUnit));
    for (int unit = 0; unit < sharedTextureUnits; ++unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), GLint(shadow.boundTexture[unit])) << "unit " << unit;
    }
    glActiveTexture(static_cast<GLenum>(active));
}

const unsigned char white[4] = {255, 255, 255, 255};
const float triangle[6] = {0, 0, 1, 0, 0, 1};

}  // namespace

void expectShadowFollowsSavesAndRestores(RenderState& state, const SharedGlState& shadow) {
    state.selectTextureUnit(1);
    const uint32_t texture = state.createTexture(1, 1, white, TextureWrapRepeat, TextureFilterLinear);
    state.enableBlending();
    state.setBlendFunc(BlendSrcAlpha, BlendOne);
    state.enableCulling();
    state.setClearColor(Color(1, 0, 0));
    {
        SCOPED_TRACE("as set");
        expectGlHolds(shadow);
    }

    state.beginHiddenDraws();
    state.disableBlending();
    state.disableCulling();
    state.enableDepthTest();
    state.disableDepthWrite();
    state.setBlendFunc(BlendOne, BlendOne);
    state.setClearColor(Color(0, 1, 0));
    state.selectTextureUnit(2);
    state.bindTexture(texture);
    state.setVertexArray(triangle, 2, ElementFloat, 0);
    state.drawTriangles(3);
    state.endHiddenDraws();
    {
        SCOPED_TRACE("after hidden draws");
        expectGlHolds(shadow);
        EXPECT_TRUE(glIsEnabled(GL_BLEND));
        EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    }

    // What a library drawing on its own might leave.
    state.beginOutsideDraws();
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glEnable(GL_SCISSOR_TEST);
    glDepthMask(GL_FALSE);
    glBlendFunc(GL_ZERO, GL_ONE);
    glClearColor(0.5f, 0.5f, 0.5f, 0.5f);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE3);
    glPixelStorei(GL_PACK_ALIGNMENT, 8);
    state.endOutsideDraws();
    {
        SCOPED_TRACE("after outside draws");
        expectGlHolds(shadow);
    }

    // Changes after both reach GL.
    state.disableBlending();
    state.disableCulling();
    state.selectTextureUnit(1);
    state.bindTexture(0);
    {
        SCOPED_TRACE("changed after both");
        expectGlHolds(shadow);
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), 0);
    }
    state.deleteTexture(texture);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
