#include "effects/sprite_material.h"

#include "framework/demo_limits.h"
#include "platform/render_state.h"

void giveCloudSpriteTexture(RenderState& renderState, const DemoLimits& limits, ParticleCloud& cloud,
                            const std::string& fileName, std::unique_ptr<Material>& material,
                            std::unique_ptr<TextureLayer>& layer, std::unique_ptr<Texture>& texture) {
    material = std::make_unique<Material>();
    cloud.setMaterial(material.get());

    TextureManager textures(limits.maxJpegPixels);
    texture = textures.loadTexture(fileName, false);
    if (texture) texture->upload(renderState);
    layer = std::make_unique<TextureLayer>();
    layer->texture = texture.get();
    layer->kind = LayerKindPlain;
    material->layers.push_back(layer.get());
}
