#include "platform/shadowed_render_state.h"

namespace {

// The same numbers in desktop GL and OpenGL ES 2.
constexpr uint32_t glDepthBufferBit = 0x00000100;
constexpr uint32_t glColorBufferBit = 0x00004000;

// GL's blend factor for a code, or 0 for a code outside the table.
uint32_t blendFactorOf(BlendFactor code) {
    switch (code) {
    case BlendOne:
        return 1;  // GL_ONE
    case BlendOneMinusSrcAlpha:
        return 0x0303;  // GL_ONE_MINUS_SRC_ALPHA
    case BlendSrcAlpha:
        return 0x0302;  // GL_SRC_ALPHA
    default:
        return 0;
    }
}

}  // namespace

void ShadowedRenderState::setClearColor(Color color) {
    // The components are used as they are: 1 means full intensity.
    ::setClearColor(shadow, color.r, color.g, color.b, color.a);
}

void ShadowedRenderState::clearDepthBuffer() { shadow.gl->clear(glDepthBufferBit); }
void ShadowedRenderState::clearColorBuffer() { shadow.gl->clear(glColorBufferBit); }
void ShadowedRenderState::enableCulling() { setCullFace(shadow, true); }
void ShadowedRenderState::disableCulling() { setCullFace(shadow, false); }
void ShadowedRenderState::enableDepthTest() { setDepthTest(shadow, true); }
void ShadowedRenderState::disableDepthTest() { setDepthTest(shadow, false); }
void ShadowedRenderState::enableDepthWrite() { setDepthWrite(shadow, true); }
void ShadowedRenderState::disableDepthWrite() { setDepthWrite(shadow, false); }
void ShadowedRenderState::enableBlending() { setBlend(shadow, true); }
void ShadowedRenderState::disableBlending() { setBlend(shadow, false); }

void ShadowedRenderState::setBlendFunc(BlendFactor sourceCode, BlendFactor destinationCode) {
    const uint32_t source = blendFactorOf(sourceCode), destination = blendFactorOf(destinationCode);
    if (source && destination) ::setBlendFunc(shadow, source, destination);
}
