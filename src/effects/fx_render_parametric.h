#pragma once
// A textured triangle mesh in a fixed perspective view: either a height field
// over a square grid, reshaped every frame by an expression of x, y, r, a, t,
// or a LightWave object with spherical texture coordinates. The eye and the
// orientation are expressions of time; "pushback" and "offset" events move
// the eye and spin the mesh.
#include <memory>
#include <string>
#include <vector>

#include "assets/vec.h"
#include "effects/material.h"
#include "effects/script_expression.h"
#include "framework/effect.h"

class Mesh;
class MeshObject;
class Texture;

// The grid steps the effect builds for a written "resolutionx" or
// "resolutiony": 32 for a value below 1, at most 1024 (or the limits' lower
// cap).
int usableGridResolution(int written, const DemoLimits& limits);
int usableGridResolution(int written);

class FxRenderParametric : public Effect {
public:
    FxRenderParametric();
    ~FxRenderParametric() override;

    void init(RenderState& renderState, const DemoLimits& limits) override;
    void draw(RenderState& renderState) override;
    std::unique_ptr<Effect> newInstance() override { return std::make_unique<FxRenderParametric>(); }
    std::string typeName() override { return "FxRenderParametric"; }
    void onSyncEvent(std::string name) override;
    void clearSyncState() override {
        eyeShift = 0.0f;
        spin = 0.0f;
    }

    // For inspection; null before init, and in object mode when there is
    // nothing to draw.
    Mesh* getMesh() const { return mesh.get(); }
    MeshObject* getMeshObject() const { return meshObject.get(); }
    const Material& getMaterial() const { return material; }
    const std::vector<Vec2>& getTexCoords() const { return texCoords; }
    bool isAnimated() const { return animated; }
    int getResolutionX() const { return resolutionX; }
    int getResolutionY() const { return resolutionY; }
    float getEyeShift() const { return eyeShift; }
    float getSpin() const { return spin; }

private:
    int readResolution(const char* name, const DemoLimits& limits);
    void buildGrid(const std::string& function, const DemoLimits& limits);
    void buildFromObject();
    void buildFromImportedObject(const std::string& fileName);
    void buildMaterial(RenderState& rs, const DemoLimits& limits);
    void updateHeights(float t);
    void updateNormals();

    ScriptExpression height;
    ScriptExpression eyeX, eyeY, eyeZ;
    ScriptExpression rotX, rotY, rotZ;
    int resolutionX = 0;
    int resolutionY = 0;
    std::unique_ptr<MeshObject> meshObject;
    bool animated = false;
    float eyeShift = 0.0f;
    float spin = 0.0f;

    std::unique_ptr<Mesh> mesh;
    std::vector<Vec2> texCoords;
    Material material;
    std::vector<std::unique_ptr<TextureLayer>> layers;
    std::vector<std::unique_ptr<Texture>> textures;
};
