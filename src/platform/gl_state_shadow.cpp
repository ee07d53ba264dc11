#include "platform/gl_state_shadow.h"

#include <cstring>

namespace {

// The same numbers in desktop GL and OpenGL ES 2.
constexpr uint32_t glCullFace = 0x0B44;
constexpr uint32_t glDepthTest = 0x0B71;
constexpr uint32_t glBlend = 0x0BE2;
constexpr uint32_t glScissorTest = 0x0C11;
constexpr uint32_t glTexture2D = 0x0DE1;
constexpr uint32_t glTexture0 = 0x84C0;
constexpr uint32_t glPackAlignment = 0x0D05;
constexpr uint32_t glUnpackAlignment = 0x0CF5;

void applyCapability(const GlStateCalls& gl, uint32_t capability, bool& applied, bool wanted, bool force) {
    if (!force && applied == wanted) return;
    wanted ? gl.enable(capability) : gl.disable(capability);
    applied = wanted;
}

void selectUnit(GlStateShadow& shadow, int unit, bool force) {
    if (!force && shadow.applied.activeUnit == unit) return;
    shadow.gl->activeTexture(glTexture0 + static_cast<uint32_t>(unit));
    shadow.applied.activeUnit = unit;
}

}  // namespace

void applyGlState(GlStateShadow& shadow, const SharedGlState& wanted, bool force) {
    const GlStateCalls& gl = *shadow.gl;
    SharedGlState& applied = shadow.applied;
    // Forced, the unit GL has selected is unknown too: the first unit
    // setting selects its unit whatever the shadow says.
    if (force) applied.activeUnit = -1;
    applyCapability(gl, glCullFace, applied.cullFace, wanted.cullFace, force);
    applyCapability(gl, glDepthTest, applied.depthTest, wanted.depthTest, force);
    applyCapability(gl, glBlend, applied.blend, wanted.blend, force);
    if (wanted.scissorTest &&
        (force || std::memcmp(applied.scissorBox, wanted.scissorBox, sizeof wanted.scissorBox) != 0)) {
        gl.scissor(wanted.scissorBox[0], wanted.scissorBox[1], wanted.scissorBox[2], wanted.scissorBox[3]);
        std::memcpy(applied.scissorBox, wanted.scissorBox, sizeof wanted.scissorBox);
    }
    applyCapability(gl, glScissorTest, applied.scissorTest, wanted.scissorTest, force);
    if (force || applied.depthWrite != wanted.depthWrite) {
        gl.depthMask(wanted.depthWrite ? 1 : 0);
        applied.depthWrite = wanted.depthWrite;
    }
    if (force || applied.blendSource != wanted.blendSource || applied.blendDestination != wanted.blendDestination) {
        gl.blendFunc(wanted.blendSource, wanted.blendDestination);
        applied.blendSource = wanted.blendSource;
        applied.blendDestination = wanted.blendDestination;
    }
    if (force || std::memcmp(applied.clearColor, wanted.clearColor, sizeof wanted.clearColor) != 0) {
        gl.clearColor(wanted.clearColor[0], wanted.clearColor[1], wanted.clearColor[2], wanted.clearColor[3]);
        std::memcpy(applied.clearColor, wanted.clearColor, sizeof wanted.clearColor);
    }
    for (int unit = 0; unit < shadow.textureUnits; ++unit) {
        if (!force && applied.boundTexture[unit] == wanted.boundTexture[unit]) continue;
        selectUnit(shadow, unit, false);
        gl.bindTexture(glTexture2D, wanted.boundTexture[unit]);
        applied.boundTexture[unit] = wanted.boundTexture[unit];
    }
    selectUnit(shadow, wanted.activeUnit, force);
    if (force || applied.packAlignment != wanted.packAlignment) {
        gl.pixelStore(glPackAlignment, wanted.packAlignment);
        applied.packAlignment = wanted.packAlignment;
    }
    if (force || applied.unpackAlignment != wanted.unpackAlignment) {
        gl.pixelStore(glUnpackAlignment, wanted.unpackAlignment);
        applied.unpackAlignment = wanted.unpackAlignment;
    }
}

void setCullFace(GlStateShadow& shadow, bool on) {
    applyCapability(*shadow.gl, glCullFace, shadow.applied.cullFace, on, false);
}

void setDepthTest(GlStateShadow& shadow, bool on) {
    applyCapability(*shadow.gl, glDepthTest, shadow.applied.depthTest, on, false);
}

void setBlend(GlStateShadow& shadow, bool on) { applyCapability(*shadow.gl, glBlend, shadow.applied.blend, on, false); }

void setDepthWrite(GlStateShadow& shadow, bool on) {
    if (shadow.applied.depthWrite == on) return;
    shadow.gl->depthMask(on ? 1 : 0);
    shadow.applied.depthWrite = on;
}

void setBlendFunc(GlStateShadow& shadow, uint32_t source, uint32_t destination) {
    if (shadow.applied.blendSource == source && shadow.applied.blendDestination == destination) return;
    shadow.gl->blendFunc(source, destination);
    shadow.applied.blendSource = source;
    shadow.applied.blendDestination = destination;
}

void setClearColor(GlStateShadow& shadow, float red, float green, float blue, float alpha) {
    SharedGlState wanted = shadow.applied;
    const float color[4] = {red, green, blue, alpha};
    std::memcpy(wanted.clearColor, color, sizeof color);
    applyGlState(shadow, wanted);
}

void setScissor(GlStateShadow& shadow, bool on, int32_t x, int32_t y, int32_t width, int32_t height) {
    SharedGlState wanted = shadow.applied;
    wanted.scissorTest = on;
    const int32_t box[4] = {x, y, width, height};
    std::memcpy(wanted.scissorBox, box, sizeof box);
    applyGlState(shadow, wanted);
}

void setActiveUnit(GlStateShadow& shadow, int unit) { selectUnit(shadow, unit, false); }

void bindTexture(GlStateShadow& shadow, uint32_t name) {
    uint32_t& bound = shadow.applied.boundTexture[shadow.applied.activeUnit];
    if (bound == name) return;
    shadow.gl->bindTexture(glTexture2D, name);
    bound = name;
}

void setPixelAlignment(GlStateShadow& shadow, int32_t pack, int32_t unpack) {
    SharedGlState wanted = shadow.applied;
    wanted.packAlignment = pack;
    wanted.unpackAlignment = unpack;
    applyGlState(shadow, wanted);
}

void forgetTexture(GlStateShadow& shadow, uint32_t name) {
    for (uint32_t& bound : shadow.applied.boundTexture)
        if (bound == name) bound = 0;
}
