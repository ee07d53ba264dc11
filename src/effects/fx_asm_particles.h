#pragma once
// A sprite cloud moved by a compiled-in formula set chosen by "calc".
// Each "zrotate" sync event rolls the cloud by a further -3 degrees and
// jumps the formula time.
#include <memory>
#include <string>
#include <vector>

#include "framework/effect.h"

class ParticleCloud;
class ParticleFormula;
class Texture;
struct Material;
struct TextureLayer;

class FxAsmParticles : public Effect {
public:
    FxAsmParticles();
    ~FxAsmParticles() override;

    void init(RenderState& renderState, const DemoLimits& limits) override;
    void draw(RenderState& renderState) override;
    std::unique_ptr<Effect> newInstance() override { return std::make_unique<FxAsmParticles>(); }
    std::string typeName() override { return "FxAsmParticles"; }
    void onSyncEvent(std::string name) override;
    void clearSyncState() override { zrotateCount = 0.0f; }

    // Null before init.
    const ParticleCloud* getCloud() const { return cloud.get(); }
    // Null when "calc" names no known set; the effect then draws nothing.
    const ParticleFormula* getFormula() const { return formula; }
    float getZrotateCount() const { return zrotateCount; }

private:
    std::vector<std::unique_ptr<ParticleFormula>> formulas;
    const ParticleFormula* formula = nullptr;
    std::unique_ptr<ParticleCloud> cloud;
    std::unique_ptr<Material> material;
    std::unique_ptr<TextureLayer> layer;
    std::unique_ptr<Texture> texture;
    float zrotateCount = 0.0f;
};
