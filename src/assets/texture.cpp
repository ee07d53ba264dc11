#include "assets/texture.h"

#include <algorithm>
#include <cstdio>

#include "assets/image_loader.h"
#include "platform/render_state.h"
#include "platform/report.h"

namespace {

// Effects expect pixels; an undecodable picture draws as opaque white.
std::unique_ptr<Image> standInImage() {
    auto image = std::make_unique<Image>();
    image->width = 1;
    image->height = 1;
    image->pixels = {0xFF, 0xFF, 0xFF, 0xFF};
    return image;
}

}  // namespace

Texture::~Texture() {
    if (uploadedThrough) uploadedThrough->deleteTexture(glName);
}

uint32_t Texture::upload(RenderState& renderState) {
    if (uploadedThrough) uploadedThrough->deleteTexture(glName);
    uploadedThrough = &renderState;
    const TextureFilter filter = mipmaps ? TextureFilterMipmapped : TextureFilterLinear;
    glName = renderState.createTexture(image->width, image->height, image->pixels.data(), TextureWrapRepeat, filter);
    return glName;
}

std::unique_ptr<Texture> TextureManager::loadTexture(const std::string& fileName, bool mipmaps) {
    QUARN_REPORTF(Output, "loading texture %s\n", fileName.c_str());
    std::unique_ptr<Image> image = ImageLoaderRegistry(maxJpegPixels).loadImage(fileName);
    if (!image) {
        QUARN_REPORTF(Error, "no loader could decode %s, using a white picture\n", fileName.c_str());
        image = standInImage();
    }
    // B,G,R,A from the loaders becomes GL's R,G,B,A.
    for (size_t i = 0; i + 3 < image->pixels.size(); i += 4) std::swap(image->pixels[i], image->pixels[i + 2]);
    return std::make_unique<Texture>(std::move(image), mipmaps);
}

void TextureManager::addAlpha(Texture* texture, const std::string& alphaFileName) {
    if (alphaFileName.empty()) return;
    QUARN_REPORTF(Output, "adding alpha: %s\n", alphaFileName.c_str());
    std::unique_ptr<Image> alpha = ImageLoaderRegistry(maxJpegPixels).loadImage(alphaFileName);
    if (!alpha) {
        QUARN_REPORTF(Error, "no loader could decode %s, alpha left unchanged\n", alphaFileName.c_str());
        return;
    }
    // Pixels pair by index; a picture of another size only covers the
    // smaller pixel count.
    std::vector<uint8_t>& target = texture->getImage()->pixels;
    const size_t count = std::min(alpha->pixels.size(), target.size()) / 4;
    for (size_t i = 0; i < count; ++i) target[i * 4 + 3] = alpha->pixels[i * 4];
}
