#pragma once
// A compiled-in particle motion: where each sprite is, how big and how
// bright the sprites are and where the eye is, all as functions of time.
#include <string>

#include "assets/vec.h"

class ParticleFormula {
public:
    virtual ~ParticleFormula() = default;
    // Centre of sprite i of n at formula time c.
    virtual Vec3 position(float i, float n, float c) const = 0;
    // Sprite half-size at time t.
    virtual float size(float t) const = 0;
    virtual Vec3 eye(float t) const = 0;
    // Grey level of all sprites at time t.
    virtual float brightness(float t) const = 0;
    virtual std::string name() const = 0;
};
