#pragma once
// Draws a Mesh with the texture layers of a Material, layer i on texture
// unit i, in one indexed draw call straight from the mesh's arrays.
#include "assets/vec.h"
#include "effects/scene_object.h"

class Mesh;
struct Material;

class MeshObject : public SceneObject {
public:
    // Units 0 to 3 exist; further layers are not drawn.
    static constexpr int maxLayers = 4;

    void setMesh(Mesh* newMesh) { mesh = newMesh; }
    void setMaterial(Material* newMaterial) { material = newMaterial; }
    // One coordinate per mesh vertex; not owned.
    void setTexCoords(Vec2* coordinates, int count) {
        texCoords = coordinates;
        texCoordCount = count;
    }

    // Draws nothing (and says so once) when the mesh, material or texture
    // coordinates are missing, or when an index names no vertex: GL would
    // read outside the arrays.
    void draw(RenderState& rs, float time) override;

private:
    bool canDraw();

    Vec2* texCoords = nullptr;
    int texCoordCount = 0;
    Mesh* mesh = nullptr;
    Material* material = nullptr;
    bool reportedUndrawable = false;
};
