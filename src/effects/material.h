#pragma once
// How a drawable receives its textures: layer i is drawn on texture unit i.
#include <vector>

class Texture;

constexpr int LayerKindPlain = 0;        // drawn with the mesh's texture coordinates
constexpr int LayerKindEnvironment = 1;  // sphere-mapped environment layer

struct TextureLayer {
    Texture* texture = nullptr;  // not owned
    int kind = LayerKindPlain;
};

// Flag bits.
constexpr int MaterialSeeThrough = 1;     // culling off, depth test off, blending on
constexpr int MaterialSmoothShading = 2;  // otherwise flat

struct Material {
    std::vector<TextureLayer*> layers;  // owned by whoever built the material
    int flags = 0;
};
