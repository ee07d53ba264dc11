#pragma once
// A sprite cloud whose eye, orientation, brightness, size and sprite
// centres are script expressions. Each "offset" sync event moves the time
// of every expression but the sprite centres 2 seconds ahead.
#include <memory>
#include <string>

#include "effects/script_expression.h"
#include "framework/effect.h"

class ParticleCloud;
class Texture;
struct Material;
struct TextureLayer;

class FxRenderParticles : public Effect {
public:
    // The expressions in the order they are read.
    enum Expression {
        EyeX,
        EyeY,
        EyeZ,
        RotX,
        RotY,
        RotZ,
        CentreX,
        CentreY,
        CentreZ,
        Brightness,
        Size,
        ExpressionCount
    };

    FxRenderParticles();
    ~FxRenderParticles() override;

    void init(RenderState& renderState, const DemoLimits& limits) override;
    void draw(RenderState& renderState) override;
    std::unique_ptr<Effect> newInstance() override { return std::make_unique<FxRenderParticles>(); }
    std::string typeName() override { return "FxRenderParticles"; }
    void onSyncEvent(std::string name) override;
    void clearSyncState() override { syncOffset = 0.0f; }

    // Null before init.
    const ParticleCloud* getCloud() const { return cloud.get(); }
    float getSyncOffset() const { return syncOffset; }
    // False when the script's text failed to parse; it then evaluates to 0.
    bool isCompiled(Expression e) const { return expressions[e].isCompiled(); }

private:
    std::unique_ptr<ParticleCloud> cloud;
    ScriptExpression expressions[ExpressionCount];
    float syncOffset = 0.0f;
    std::unique_ptr<Material> material;
    std::unique_ptr<TextureLayer> layer;
    std::unique_ptr<Texture> texture;
};
