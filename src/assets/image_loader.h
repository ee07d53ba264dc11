#pragma once
// Decoders for picture files and the ordered list that picks one by the
// file name's extension.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "assets/texture.h"

// The largest picture the player decodes, in pixels (8192 x 8192).
constexpr std::size_t maxPicturePixels = std::size_t(8192) * 8192;
// No file holding such a picture needs more: 5 bytes a pixel is a 32-bit
// run-length TGA at its worst (a packet byte for every pixel), and 1 MiB
// covers headers, ID field and colour map. Larger files are refused before
// they are read.
constexpr uint64_t maxPictureFileBytes = uint64_t(maxPicturePixels) * 5 + (uint64_t(1) << 20);

// Reads a picture file whole, refusing one over maxPictureFileBytes; false
// with the reason (the system's words, or the limit) when it cannot be read.
bool readPictureFile(const std::string& fileName, std::vector<uint8_t>& bytes, std::string& reason);

class ImageLoader {
public:
    virtual ~ImageLoader() = default;
    // Decodes the whole file into B,G,R,A pixels, top row first; null on failure.
    virtual std::unique_ptr<Image> load(std::string fileName) = 0;
    // The extension this loader handles, lower case, without the dot.
    virtual std::string name() = 0;
};

class ImageLoaderRegistry {
public:
    // Always JPEG first, then TGA: the order decides the fallback.
    // maxJpegPixels lowers the JPEG reader's own limit.
    explicit ImageLoaderRegistry(std::size_t maxJpegPixels = SIZE_MAX);
    // Picks loaders by the text after the first "." of the name; when none of
    // them delivers, asks every loader in turn. Null when all fail.
    std::unique_ptr<Image> loadImage(const std::string& fileName);

private:
    std::vector<std::unique_ptr<ImageLoader>> loaders;
};

// The text after the first "." of a file name ("a.b.tga" gives "b.tga");
// empty when there is no ".".
std::string fileExtension(const std::string& fileName);
