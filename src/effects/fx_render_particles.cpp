#include "effects/fx_render_particles.h"

#include "assets/texture.h"
#include "effects/material.h"
#include "effects/particle_cloud.h"
#include "effects/particle_count.h"
#include "effects/sprite_material.h"
#include "platform/render_state.h"

namespace {
struct ExpressionParameter {
    const char* name;
    const char* variables;
    const char* fallback;  // used when the text is absent or empty
};

// Indexed by FxRenderParticles::Expression.
const ExpressionParameter expressionParameters[FxRenderParticles::ExpressionCount] = {
    {"position.x", "t", "0"},     {"position.y", "t", "0"},      {"position.z", "t", "0"},
    {"orientation.x", "t", "0"},  {"orientation.y", "t", "0"},   {"orientation.z", "t", "0"},
    {"particle.x", "t,i,n", "0"}, {"particle.y", "t,i,n", "0"},  {"particle.z", "t,i,n", "0"},
    {"alpha", "t", "1"},          {"particle.size", "t", "3.0"},
};
}  // namespace

FxRenderParticles::FxRenderParticles() = default;
FxRenderParticles::~FxRenderParticles() = default;

void FxRenderParticles::init(RenderState& renderState, const DemoLimits& limits) {
    // Only the sprite centres know pi; scripts rely on it there.
    for (int e : {CentreX, CentreY, CentreZ}) expressions[e].addConstant("pi", static_cast<double>(3.14159f));
    syncOffset = 0.0f;

    for (int e = 0; e < ExpressionCount; ++e) {
        const ExpressionParameter& parameter = expressionParameters[e];
        expressions[e].compileReporting(parameter.name, getStringValue(parameter.name), parameter.variables,
                                        parameter.fallback);
    }

    cloud = std::make_unique<ParticleCloud>(readParticleCount(*this, limits), 0.1f);
    giveCloudSpriteTexture(renderState, limits, *cloud, getStringValue("textureFilename"), material, layer, texture);
}

void FxRenderParticles::draw(RenderState& rs) {
    if (!cloud) return;
    setSceneView(rs);

    const float t = getTime();
    const float u = t + syncOffset;
    cloud->setPosition(
        {expressions[EyeX].evaluateAt(u), expressions[EyeY].evaluateAt(u), expressions[EyeZ].evaluateAt(u)});
    cloud->setRotation(
        {expressions[RotX].evaluateAt(u), expressions[RotY].evaluateAt(u), expressions[RotZ].evaluateAt(u)});
    cloud->setBrightness(expressions[Brightness].evaluateAt(u));
    cloud->setSize(expressions[Size].evaluateAt(u));

    // The sprite centres follow the plain local time, not the sync offset.
    const int n = cloud->getCount();
    double variables[3] = {static_cast<double>(t), 0.0, static_cast<double>(n)};
    for (int i = 0; i < n; ++i) {
        variables[1] = i;
        cloud->setCentre(i, {static_cast<float>(expressions[CentreX].evaluate(variables)),
                             static_cast<float>(expressions[CentreY].evaluate(variables)),
                             static_cast<float>(expressions[CentreZ].evaluate(variables))});
    }

    cloud->draw(rs, t);
}

void FxRenderParticles::onSyncEvent(std::string name) {
    if (name == "offset") syncOffset += 2.0f;
}
