#include "effects/sprite_material.h"

#include "platform/render_state.h"

void giveCloudSpriteTexture(ParticleCloud& cloud, const std::string& fileName, std::unique_ptr<Material>& material,
                            std::unique_ptr<TextureLayer>& layer, std::unique_ptr<Texture>& texture) {
    material = std::make_unique<Material>();
    cloud.setMaterial(material.get());

    TextureManager textures;
    texture = textures.loadTexture(fileName, false);
    if (texture) texture->upload(*getRenderState());
    layer = std::make_unique<TextureLayer>();
    layer->texture = texture.get();
    layer->kind = LayerKindPlain;
    material->layers.push_back(layer.get());
}
