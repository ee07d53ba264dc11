#include "runtime/effect_types.h"

#include "effects/fx_gl_layer_object.h"
#include "effects/fx_gl_uv_map.h"
#include "framework/script_reader.h"

// The registry searches in registration order, so the order is fixed:
// FxGLLayerObject, FxGLUVMap, FxRenderParametric, FxRenderParticles,
// FxAsmParticles. Each type is added here as it is built.
void registerEffectTypes(ScriptReader& reader) {
    reader.registerType(new FxGLLayerObject());
    reader.registerType(new FxGLUVMap());
}
