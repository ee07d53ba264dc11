#pragma once
// What both render states set on GL themselves, kept on the CPU: a state
// call reaches GL only when it changes something, nothing is read back from
// GL, and a stretch of draws that must leave no trace keeps a copy and puts
// it back. Each render state reaches GL through its own headers and entry
// points, so it hands this core the few functions it calls.
#include <cstdint>

// The GL entry points the core calls, with GL's own signatures.
struct GlStateCalls {
    void (*enable)(uint32_t capability);
    void (*disable)(uint32_t capability);
    void (*depthMask)(uint8_t on);
    void (*blendFunc)(uint32_t source, uint32_t destination);
    void (*clearColor)(float red, float green, float blue, float alpha);
    void (*scissor)(int32_t x, int32_t y, int32_t width, int32_t height);
    void (*activeTexture)(uint32_t unit);  // GL_TEXTURE0 + unit
    void (*bindTexture)(uint32_t target, uint32_t name);
    void (*pixelStore)(uint32_t name, int32_t value);
    void (*clear)(uint32_t buffers);
};

constexpr int sharedTextureUnits = 4;

// GL's own starting values.
struct SharedGlState {
    bool cullFace = false;
    bool depthTest = false;
    bool blend = false;
    bool scissorTest = false;
    bool depthWrite = true;
    uint32_t blendSource = 1;       // GL_ONE
    uint32_t blendDestination = 0;  // GL_ZERO
    float clearColor[4] = {0, 0, 0, 0};
    // Only drawing with the test on reads the box, so it reaches GL only
    // then; GL's own box is the window's until the first such draw.
    int32_t scissorBox[4] = {0, 0, 0, 0};
    int activeUnit = 0;
    uint32_t boundTexture[sharedTextureUnits] = {};
    int32_t packAlignment = 4;
    int32_t unpackAlignment = 4;
};

struct GlStateShadow {
    explicit GlStateShadow(const GlStateCalls& calls) : gl(&calls) {}
    const GlStateCalls* gl;
    SharedGlState applied;  // what GL holds
    // The units there are to select: 1 where GL has no multitexture.
    int textureUnits = sharedTextureUnits;
};

// Makes GL hold wanted, calling GL only for what differs from the shadow;
// force calls it for everything, for when code outside the render state
// may have changed GL behind the shadow's back.
void applyGlState(GlStateShadow& shadow, const SharedGlState& wanted, bool force = false);

// One change each, through applyGlState.
void setCullFace(GlStateShadow& shadow, bool on);
void setDepthTest(GlStateShadow& shadow, bool on);
void setBlend(GlStateShadow& shadow, bool on);
void setDepthWrite(GlStateShadow& shadow, bool on);
void setBlendFunc(GlStateShadow& shadow, uint32_t source, uint32_t destination);
void setClearColor(GlStateShadow& shadow, float red, float green, float blue, float alpha);
void setScissor(GlStateShadow& shadow, bool on, int32_t x, int32_t y, int32_t width, int32_t height);
void setActiveUnit(GlStateShadow& shadow, int unit);
// Binds name on the active unit.
void bindTexture(GlStateShadow& shadow, uint32_t name);
void setPixelAlignment(GlStateShadow& shadow, int32_t pack, int32_t unpack);
// GL unbinds a deleted texture from every unit; the shadow follows.
void forgetTexture(GlStateShadow& shadow, uint32_t name);
