#include "effects/fx_asm_particles.h"

#include <cmath>

#include "assets/texture.h"
#include "effects/material.h"
#include "effects/particle_cloud.h"
#include "effects/particle_count.h"
#include "effects/particles1_formula.h"
#include "effects/sprite_material.h"
#include "platform/render_state.h"
#include "platform/report.h"

FxAsmParticles::FxAsmParticles() = default;
FxAsmParticles::~FxAsmParticles() = default;

void FxAsmParticles::init(RenderState& renderState, const DemoLimits& limits) {
    zrotateCount = 0.0f;
    formulas.push_back(std::make_unique<Particles1Formula>());

    const int count = readParticleCount(*this, limits);
    // Only the first frame could see this size: every draw takes the size
    // from the formula set.
    const float* sizeValue = getFloat("particle.size");
    const float size = sizeValue ? *sizeValue : 0.0f;
    const std::string calc = getStringValue("calc");

    formula = nullptr;
    for (const auto& candidate : formulas) {
        if (candidate->name() == calc) {
            formula = candidate.get();
            break;
        }
    }
    if (!formula) QUARN_REPORT(Log, "No particle formula set named " + calc + ", the cloud stays hidden");

    cloud = std::make_unique<ParticleCloud>(count, size);
    giveCloudSpriteTexture(renderState, limits, *cloud, getStringValue("textureFilename"), material, layer, texture);
}

void FxAsmParticles::draw(RenderState& rs) {
    if (!cloud || !formula) return;
    setSceneView(rs);

    const float t = getTime();
    const float z = zrotateCount;
    const Vec3 eye = formula->eye(t);
    cloud->setPosition({eye.x, eye.y, static_cast<float>(eye.z + std::sin(z))});
    cloud->setRotation({0.0f, 0.0f, -3.0f * z});
    cloud->setBrightness(formula->brightness(t));
    cloud->setSize(formula->size(t));

    const int n = cloud->getCount();
    const float formulaTime = static_cast<float>(t + 20.0 * std::sin(1.570795 * z));
    for (int i = 0; i < n; ++i)
        cloud->setCentre(i, formula->position(static_cast<float>(i), static_cast<float>(n), formulaTime));

    cloud->draw(rs, t);
}

void FxAsmParticles::onSyncEvent(std::string name) {
    if (name == "zrotate") zrotateCount += 1.0f;
}
