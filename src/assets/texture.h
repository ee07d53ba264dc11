#pragma once
// Pictures as effects keep them. Loaders deliver B,G,R,A pixels, top row
// first; a Texture holds R,G,B,A pixels and, after upload, its GL name.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class RenderState;

struct Image {
    std::vector<uint8_t> pixels;  // width * height * 4 bytes, rows without gaps
    int width = 0;
    int height = 0;
    // The decoder's first warning when the picture came from damaged data
    // (a JPEG cut short is filled in grey); empty otherwise.
    std::string damage;
};

class Texture {
public:
    Texture(std::unique_ptr<Image> image, bool mipmaps) : image(std::move(image)), mipmaps(mipmaps) {}
    // Frees the GL texture through the render state that made it, which
    // must outlive the texture.
    ~Texture();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    // Creates the GL texture (linear filtering, or mipmapped; repeat
    // wrapping) and returns its name. A second upload frees the first.
    uint32_t upload(RenderState& renderState);
    uint32_t textureId() const { return glName; }
    Image* getImage() const { return image.get(); }
    bool hasMipmaps() const { return mipmaps; }

private:
    std::unique_ptr<Image> image;  // kept after upload
    uint32_t glName = 0;
    RenderState* uploadedThrough = nullptr;
    bool mipmaps;
};

class TextureManager {
public:
    // maxJpegPixels lowers the JPEG reader's own limit on a picture's size.
    explicit TextureManager(std::size_t maxJpegPixels = SIZE_MAX) : maxJpegPixels(maxJpegPixels) {}

    // Never returns null: a picture that cannot be decoded becomes a defined
    // stand-in so the effect still draws.
    std::unique_ptr<Texture> loadTexture(const std::string& fileName, bool mipmaps);
    // Replaces the texture's alpha with byte 0 of each pixel of the alpha
    // picture; an empty name does nothing.
    void addAlpha(Texture* texture, const std::string& alphaFileName);

private:
    std::size_t maxJpegPixels;
};
