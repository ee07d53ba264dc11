#include "runtime/effect_types.h"

#include <memory>

#include "effects/fx_asm_particles.h"
#include "effects/fx_gl_layer_object.h"
#include "effects/fx_gl_uv_map.h"
#include "effects/fx_render_parametric.h"
#include "effects/fx_render_particles.h"
#include "framework/script_reader.h"

// The registry searches in registration order, so the order is fixed.
void registerEffectTypes(ScriptReader& reader) {
    reader.registerType(std::make_unique<FxGLLayerObject>());
    reader.registerType(std::make_unique<FxGLUVMap>());
    reader.registerType(std::make_unique<FxRenderParametric>());
    reader.registerType(std::make_unique<FxRenderParticles>());
    reader.registerType(std::make_unique<FxAsmParticles>());
}
