#include "effects/mesh_object.h"

#include <cstdio>

#include "assets/mesh.h"
#include "assets/texture.h"
#include "effects/material.h"
#include "platform/render_state.h"
#include "platform/report.h"

bool MeshObject::canDraw() {
    const char* problem = nullptr;
    if (mesh == nullptr || material == nullptr)
        problem = "mesh object has no mesh or material, not drawn\n";
    else if (mesh->getVertexCount() == 0 || mesh->getPolygonCount() == 0)
        problem = "mesh object has an empty mesh, not drawn\n";
    else if (texCoords == nullptr || texCoordCount < mesh->getVertexCount())
        problem = "mesh object has too few texture coordinates, not drawn\n";
    else if (!mesh->polygonsInRange())
        problem = "mesh has polygon indices outside its vertices, not drawn\n";
    if (problem == nullptr) return true;
    if (!reportedUndrawable) QUARN_REPORT(Error, problem);
    reportedUndrawable = true;
    return false;
}

void MeshObject::draw(RenderState& rs, float /*time*/) {
    if (!canDraw()) return;
    applyTransform(rs);
    if (material->flags & MaterialSmoothShading)
        rs.setSmoothShading();
    else
        rs.setFlatShading();

    int unit = 0;
    for (const TextureLayer* layer : material->layers) {
        if (unit == maxLayers) break;
        rs.selectTextureUnit(unit);
        rs.bindTexture(layer->texture != nullptr ? layer->texture->textureId() : 0);
        rs.setTexCoordArray(texCoords, 2, ElementFloat, 0);
        rs.enableBlending();
        rs.setBlendFunc(BlendOne, BlendOne);
        if (layer->kind == LayerKindEnvironment) {
            rs.setTexGen(TexGenSphereMap);
            rs.setTexEnv(TexEnvAdd);
        } else {
            rs.setTexEnv(TexEnvReplace);
        }
        ++unit;
    }
    const int layeredUnits = unit;
    // Client arrays stay enabled between draws: a unit this material does
    // not use may still point at another, smaller object's coordinates,
    // which the indexed draw would read past. Point it at ours.
    for (; unit < 2; ++unit) {
        rs.selectTextureUnit(unit);
        rs.setTexCoordArray(texCoords, 2, ElementFloat, 0);
    }

    if (material->flags & MaterialSeeThrough) {
        rs.disableCulling();
        rs.disableDepthTest();
        rs.enableBlending();
    } else {
        rs.enableCulling();
        rs.enableDepthTest();
        rs.disableBlending();
    }

    rs.setVertexArray(mesh->getVertices(), 3, ElementFloat, 0);
    rs.setNormalArray(mesh->getVertexNormals(), 3, ElementFloat, 0);
    rs.setIndexArray(mesh->getPolygons(), 3 * mesh->getPolygonCount(), ElementUnsignedInt);
    rs.drawIndexedTriangles();
    // Generated coordinates are for this draw alone: left on, they would
    // replace the coordinates of whatever later draws on these units.
    for (int i = 0; i < layeredUnits; ++i) {
        if (material->layers[i]->kind != LayerKindEnvironment) continue;
        rs.selectTextureUnit(i);
        rs.disableTexGen();
    }
    rs.disableTextureUnit(1);
}
