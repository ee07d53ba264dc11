#pragma once
// "Particles1": a breathing knot of sprites with an eye that rests for 20
// seconds and then flies through it, fading in over the first 4 seconds.
#include "effects/particle_formula.h"

class Particles1Formula : public ParticleFormula {
public:
    Vec3 position(float i, float n, float c) const override;
    float size(float t) const override;
    Vec3 eye(float t) const override;
    float brightness(float t) const override;
    std::string name() const override { return "Particles1"; }
};
