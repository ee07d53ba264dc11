#include "support/tga_pictures.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <vector>

std::string makePictureDirectory() {
    char pattern[] = "/tmp/quarnpicturesXXXXXX";
    if (!mkdtemp(pattern)) throw std::runtime_error("cannot make a picture directory");
    return pattern;
}

void writeTgaFile(const std::string& path, int width, int height,
                  const std::function<Rgba(int x, int y)>& colourAt) {
    std::vector<uint8_t> bytes(18, 0);
    bytes[2] = 2;  // uncompressed true colour
    bytes[12] = static_cast<uint8_t>(width);
    bytes[13] = static_cast<uint8_t>(width >> 8);
    bytes[14] = static_cast<uint8_t>(height);
    bytes[15] = static_cast<uint8_t>(height >> 8);
    bytes[16] = 32;
    bytes[17] = 8;  // eight alpha bits, lower-left origin
    // Lower-left origin: the bottom row comes first in the file.
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const Rgba c = colourAt(x, y);
            bytes.insert(bytes.end(), {c.b, c.g, c.r, c.a});
        }
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) throw std::runtime_error("cannot write " + path);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}
