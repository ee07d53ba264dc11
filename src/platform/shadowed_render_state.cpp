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
    claimGl();
    // The components are used as they are: 1 means full intensity.
    ::setClearColor(shadow, color.r, color.g, color.b, color.a);
}

void ShadowedRenderState::clearDepthBuffer() {
    claimGl();
    shadow.gl->clear(glDepthBufferBit);
}
void ShadowedRenderState::clearColorBuffer() {
    claimGl();
    shadow.gl->clear(glColorBufferBit);
}
void ShadowedRenderState::enableCulling() {
    claimGl();
    setCullFace(shadow, true);
}
void ShadowedRenderState::disableCulling() {
    claimGl();
    setCullFace(shadow, false);
}
void ShadowedRenderState::enableDepthTest() {
    claimGl();
    setDepthTest(shadow, true);
}
void ShadowedRenderState::disableDepthTest() {
    claimGl();
    setDepthTest(shadow, false);
}
void ShadowedRenderState::enableDepthWrite() {
    claimGl();
    setDepthWrite(shadow, true);
}
void ShadowedRenderState::disableDepthWrite() {
    claimGl();
    setDepthWrite(shadow, false);
}
void ShadowedRenderState::enableBlending() {
    claimGl();
    setBlend(shadow, true);
}
void ShadowedRenderState::disableBlending() {
    claimGl();
    setBlend(shadow, false);
}

void ShadowedRenderState::setBlendFunc(BlendFactor sourceCode, BlendFactor destinationCode) {
    claimGl();
    const uint32_t source = blendFactorOf(sourceCode), destination = blendFactorOf(destinationCode);
    if (source && destination) ::setBlendFunc(shadow, source, destination);
}
