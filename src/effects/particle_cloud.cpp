#include "effects/particle_cloud.h"

#include "assets/texture.h"
#include "effects/material.h"
#include "platform/render_state.h"

namespace {
constexpr int VerticesPerSprite = 6;
}

ParticleCloud::ParticleCloud(int spriteCount, float initialSize)
    : count(spriteCount < 0          ? 0
            : spriteCount > MaxCount ? MaxCount
                                     : spriteCount),
      centres(count),
      vertices(static_cast<size_t>(count) * VerticesPerSprite),
      texCoords(static_cast<size_t>(count) * VerticesPerSprite),
      size(initialSize) {}

void ParticleCloud::setCentre(int i, const Vec3& centre) {
    if (i >= 0 && i < count) centres[i] = centre;
}

void ParticleCloud::draw(RenderState& rs, float) {
    rs.pushMatrix();
    applyTransform(rs);
    // The texture environment belongs to the selected unit: a mesh drawn
    // before may have left unit 1 selected, which would leave unit 0 as it
    // set it and the sprites' brightness unapplied.
    rs.selectTextureUnit(0);
    rs.setColor(brightness, brightness, brightness, 1.0f);
    rs.setTexEnv(TexEnvModulate);
    rs.setBlendFunc(BlendOne, BlendOne);
    rs.enableBlending();
    rs.disableCulling();
    rs.enableDepthTest();
    // Additive sprites must not hide each other, but solid geometry drawn
    // earlier still hides them.
    rs.disableDepthWrite();
    rs.disableLighting();

    const float s = size;
    Vec3* v = vertices.data();
    Vec2* uv = texCoords.data();
    for (int j = 0; j < count; ++j) {
        const Vec3& c = centres[j];
        v[0] = {c.x - s, c.y + s, c.z};
        uv[0] = {0.0f, 1.0f};
        v[1] = {c.x + s, c.y + s, c.z};
        uv[1] = {1.0f, 1.0f};
        v[2] = {c.x - s, c.y - s, c.z};
        uv[2] = {0.0f, 0.0f};
        v[3] = {c.x - s, c.y - s, c.z};
        uv[3] = {0.0f, 0.0f};
        v[4] = {c.x + s, c.y + s, c.z};
        uv[4] = {1.0f, 1.0f};
        v[5] = {c.x + s, c.y - s, c.z};
        uv[5] = {1.0f, 0.0f};
        v += VerticesPerSprite;
        uv += VerticesPerSprite;
    }

    // Without a texture the sprites keep whatever is bound rather than crash.
    if (material && !material->layers.empty() && material->layers[0] && material->layers[0]->texture)
        rs.bindTexture(material->layers[0]->texture->textureId());
    rs.setVertexArray(vertices.data(), 3, ElementFloat, 0);
    rs.setTexCoordArray(texCoords.data(), 2, ElementFloat, 0);
    rs.drawTriangles(count * VerticesPerSprite);

    rs.enableDepthWrite();
    rs.popMatrix();
}
