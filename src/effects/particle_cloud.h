#pragma once
// A fixed number of square, additively blended, textured sprites in the
// object's x-y plane, drawn as one triangle array. The owner writes the
// centres, size and brightness before each draw.
#include <vector>

#include "assets/vec.h"
#include "effects/scene_object.h"

struct Material;

class ParticleCloud : public SceneObject {
public:
    // More sprites than this would need gigabytes and overflow the vertex
    // count GL takes as an int.
    static constexpr int MaxCount = 1 << 20;

    // The count is clamped to 0..MaxCount.
    ParticleCloud(int count, float size);

    void draw(RenderState& rs, float time) override;

    // Indices outside 0..count-1 are ignored.
    void setCentre(int i, const Vec3& centre);
    int getCount() const { return count; }
    void setSize(float halfEdge) { size = halfEdge; }
    void setBrightness(float grey) { brightness = grey; }
    // Not owned; only the texture of its first layer is used.
    void setMaterial(Material* m) { material = m; }

    float getSize() const { return size; }
    float getBrightness() const { return brightness; }
    const Material* getMaterial() const { return material; }
    const Vec3& getCentre(int i) const { return centres[i]; }
    const std::vector<Vec3>& getVertices() const { return vertices; }
    const std::vector<Vec2>& getTexCoords() const { return texCoords; }

private:
    int count;
    // Sized once here; draw only rewrites them in place.
    std::vector<Vec3> centres;
    std::vector<Vec3> vertices;
    std::vector<Vec2> texCoords;
    float size;
    float brightness = 1.0f;
    Material* material = nullptr;
};
