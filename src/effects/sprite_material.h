#pragma once
// Both particle effects texture their cloud the same way: one picture as the
// single plain layer of the cloud's material. The effect owns all three.
#include <memory>
#include <string>

#include "assets/texture.h"
#include "effects/material.h"
#include "effects/particle_cloud.h"

class RenderState;
struct DemoLimits;

// The picture is uploaded through renderState.
void giveCloudSpriteTexture(RenderState& renderState, const DemoLimits& limits, ParticleCloud& cloud,
                            const std::string& fileName, std::unique_ptr<Material>& material,
                            std::unique_ptr<TextureLayer>& layer, std::unique_ptr<Texture>& texture);
