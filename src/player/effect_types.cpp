#include "player/effect_types.h"

#include <memory>

#include "effects/fx_asm_particles.h"
#include "effects/fx_gl_layer_object.h"
#include "effects/fx_gl_uv_map.h"
#include "effects/fx_render_parametric.h"
#include "effects/fx_render_particles.h"
#include "framework/script_reader.h"

namespace {

// The registry searches in registration order, so the order is fixed.
std::vector<std::unique_ptr<Effect>> effectPrototypes() {
    std::vector<std::unique_ptr<Effect>> prototypes;
    prototypes.push_back(std::make_unique<FxGLLayerObject>());
    prototypes.push_back(std::make_unique<FxGLUVMap>());
    prototypes.push_back(std::make_unique<FxRenderParametric>());
    prototypes.push_back(std::make_unique<FxRenderParticles>());
    prototypes.push_back(std::make_unique<FxAsmParticles>());
    return prototypes;
}

}  // namespace

void registerEffectTypes(ScriptReader& reader) {
    for (std::unique_ptr<Effect>& prototype : effectPrototypes()) reader.registerType(std::move(prototype));
}

std::vector<std::string> effectTypeNames() {
    std::vector<std::string> names;
    for (const std::unique_ptr<Effect>& prototype : effectPrototypes()) names.push_back(prototype->typeName());
    return names;
}
