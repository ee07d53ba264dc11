#include "runtime/effect_types.h"

#include "effects/fx_asm_particles.h"
#include "effects/fx_gl_layer_object.h"
#include "effects/fx_gl_uv_map.h"
#include "effects/fx_render_parametric.h"
#include "effects/fx_render_particles.h"
#include "framework/script_reader.h"

// The registry searches in registration order, so the order is fixed.
void registerEffectTypes(ScriptReader& reader) {
    reader.registerType(new FxGLLayerObject());
    reader.registerType(new FxGLUVMap());
    reader.registerType(new FxRenderParametric());
    reader.registerType(new FxRenderParticles());
    reader.registerType(new FxAsmParticles());
}
