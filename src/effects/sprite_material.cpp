#include "effects/sprite_material.h"

void giveCloudSpriteTexture(ParticleCloud& cloud, const std::string& fileName, std::unique_ptr<Material>& material,
                            std::unique_ptr<TextureLayer>& layer, std::unique_ptr<Texture>& texture) {
    material = std::make_unique<Material>();
    cloud.setMaterial(material.get());

    TextureManager textures;
    texture.reset(textures.loadTexture(fileName, false));
    if (texture) texture->upload();
    layer = std::make_unique<TextureLayer>();
    layer->texture = texture.get();
    layer->kind = LayerKindPlain;
    material->layers.push_back(layer.get());
}
