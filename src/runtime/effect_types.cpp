#include "runtime/effect_types.h"

#include "effects/fx_asm_particles.h"
#include "effects/fx_render_parametric.h"
#include "effects/fx_render_particles.h"
#include "framework/script_reader.h"

// The registry searches in registration order, so the order is fixed:
// FxGLLayerObject, FxGLUVMap, FxRenderParametric, FxRenderParticles,
// FxAsmParticles. Each type is added here as it is built.
void registerEffectTypes(ScriptReader& reader) {
    reader.registerType(new FxRenderParametric());
    reader.registerType(new FxRenderParticles());
    reader.registerType(new FxAsmParticles());
}
