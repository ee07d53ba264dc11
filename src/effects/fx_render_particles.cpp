#include "effects/fx_render_particles.h"

#include "assets/texture.h"
#include "effects/material.h"
#include "effects/particle_cloud.h"
#include "effects/sprite_material.h"
#include "effects/particle_count.h"
#include "platform/render_state.h"

namespace {
struct ExpressionParameter {
    const char* name;
    const char* variables;
    const char* fallback;  // used when the text is absent or empty
};

// Indexed by FxRenderParticles::Expression.
const ExpressionParameter expressionParameters[FxRenderParticles::ExpressionCount] = {
    {"position.x", "t", "0"},
    {"position.y", "t", "0"},
    {"position.z", "t", "0"},
    {"orientation.x", "t", "0"},
    {"orientation.y", "t", "0"},
    {"orientation.z", "t", "0"},
    {"particle.x", "t,i,n", "0"},
    {"particle.y", "t,i,n", "0"},
    {"particle.z", "t,i,n", "0"},
    {"alpha", "t", "1"},
    {"particle.size", "t", "3.0"},
};
}  // namespace

FxRenderParticles::FxRenderParticles() = default;
FxRenderParticles::~FxRenderParticles() = default;

void FxRenderParticles::init() {
    // Only the sprite centres know pi; scripts rely on it there.
    for (int e : {CentreX, CentreY, CentreZ}) parsers[e].AddConstant("pi", static_cast<double>(3.14159f));
    syncOffset = 0.0f;

    for (int e = 0; e < ExpressionCount; ++e) {
        const ExpressionParameter& parameter = expressionParameters[e];
        const std::string text = getStringValue(parameter.name);
        if (text.empty()) {
            compiled[e] = parsers[e].Parse(parameter.fallback, "") < 0;
            continue;
        }
        const int errorAt = parsers[e].Parse(text, parameter.variables);
        compiled[e] = errorAt < 0;
        // A broken expression would otherwise silently freeze its quantity.
        if (!compiled[e])
            logLine(std::string("Could not parse ") + parameter.name + " \"" + text + "\" at " +
                    std::to_string(errorAt) + ": " + parsers[e].ErrorMsg() + ", using 0");
    }

    cloud = std::make_unique<ParticleCloud>(readParticleCount(*this), 0.1f);
    giveCloudSpriteTexture(*cloud, getStringValue("textureFilename"), material, layer, texture);
}

double FxRenderParticles::evaluate(Expression e, const double* variables) {
    // A parser that failed to parse holds no program to run.
    return compiled[e] ? parsers[e].Eval(variables) : 0.0;
}

void FxRenderParticles::draw() {
    if (!cloud) return;
    RenderState* rs = getRenderState();
    if (!rs) return;

    rs->setPerspective(90.0f, 1.3333334f, 0.05f, 300.0f);
    rs->setMatrixMode(MatrixModelView);
    rs->loadIdentity();

    const float t = getTime();
    const double u[1] = {static_cast<double>(t + syncOffset)};
    cloud->setPosition({static_cast<float>(evaluate(EyeX, u)), static_cast<float>(evaluate(EyeY, u)),
                        static_cast<float>(evaluate(EyeZ, u))});
    cloud->setRotation({static_cast<float>(evaluate(RotX, u)), static_cast<float>(evaluate(RotY, u)),
                        static_cast<float>(evaluate(RotZ, u))});
    cloud->setBrightness(static_cast<float>(evaluate(Brightness, u)));
    cloud->setSize(static_cast<float>(evaluate(Size, u)));

    // The sprite centres follow the plain local time, not the sync offset.
    const int n = cloud->getCount();
    double variables[3] = {static_cast<double>(t), 0.0, static_cast<double>(n)};
    for (int i = 0; i < n; ++i) {
        variables[1] = i;
        cloud->setCentre(i, {static_cast<float>(evaluate(CentreX, variables)),
                             static_cast<float>(evaluate(CentreY, variables)),
                             static_cast<float>(evaluate(CentreZ, variables))});
    }

    cloud->draw(*rs, t);
}

void FxRenderParticles::onSyncEvent(std::string name) {
    if (name == "offset") syncOffset += 2.0f;
}
