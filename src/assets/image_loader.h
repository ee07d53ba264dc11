#pragma once
// Decoders for picture files and the ordered list that picks one by the
// file name's extension.
#include <memory>
#include <string>
#include <vector>

#include "assets/texture.h"

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
    ImageLoaderRegistry();
    // Picks loaders by the text after the first "." of the name; when none of
    // them delivers, asks every loader in turn. Null when all fail.
    std::unique_ptr<Image> loadImage(const std::string& fileName);

private:
    std::vector<std::unique_ptr<ImageLoader>> loaders;
};

// The text after the first "." of a file name ("a.b.tga" gives "b.tga");
// empty when there is no ".".
std::string fileExtension(const std::string& fileName);
