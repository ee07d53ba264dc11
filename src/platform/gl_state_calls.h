#pragma once
// The table of GL entry points a render state hands its shadow. Both
// backends call the same GL functions for it, each declared by the
// backend's own GL header, which must be included first; only the
// selection of a texture unit differs (fixed-function GL reaches it through
// an extension that may be missing).
#include <cstdint>

#include "platform/gl_state_shadow.h"

constexpr GlStateCalls glStateCallsSelectingUnitsWith(void (*activeTexture)(uint32_t unit)) {
    return GlStateCalls{
        .enable = glEnable,
        .disable = glDisable,
        .depthMask = glDepthMask,
        .blendFunc = glBlendFunc,
        .clearColor = glClearColor,
        .scissor = glScissor,
        .activeTexture = activeTexture,
        .bindTexture = glBindTexture,
        .pixelStore = glPixelStorei,
        .clear = glClear,
    };
}
