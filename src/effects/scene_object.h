#pragma once
// Base of every drawable object: an eye point (the object is drawn moved by
// the negated position), rotations in degrees about x, y, z, and a scale.
#include "assets/vec.h"

class RenderState;

// The perspective every 3D effect draws in: 90 degrees of vertical field of
// view, the window's 4:3, and the near and far planes.
constexpr float sceneFieldOfViewY = 90.0f;
constexpr float sceneAspect = 1.3333334f;
constexpr float sceneNear = 0.05f;
constexpr float sceneFar = 300.0f;

// Loads that perspective, then selects the model-view matrix and resets it.
void setSceneView(RenderState& rs);

class SceneObject {
public:
    virtual ~SceneObject() = default;
    virtual void draw(RenderState& rs, float time) = 0;

    // Replaces the model-view matrix: translate by -position, rotate about
    // x, then y, then z, then scale.
    void applyTransform(RenderState& rs) const;

    void setPosition(const Vec3& p) { position = p; }
    void setRotation(const Vec3& r) { rotation = r; }
    void setScale(const Vec3& s) { scale = s; }
    const Vec3& getPosition() const { return position; }
    const Vec3& getRotation() const { return rotation; }
    const Vec3& getScale() const { return scale; }

protected:
    Vec3 position{0.0f, 0.0f, 0.0f};
    Vec3 rotation{0.0f, 0.0f, 0.0f};
    Vec3 scale{1.0f, 1.0f, 1.0f};
};
