#include "runtime/effect_types.h"

#include "framework/script_reader.h"

// The registry searches in registration order, so the order is fixed:
// FxGLLayerObject, FxGLUVMap, FxRenderParametric, FxRenderParticles,
// FxAsmParticles. Each type is added here as it is built.
void registerEffectTypes(ScriptReader& /*reader*/) {}
