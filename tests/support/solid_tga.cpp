#include "support/solid_tga.h"

#include <cstdio>
#include <vector>

void writeSolidTga(const std::string& path, int width, int height, uint8_t red, uint8_t green, uint8_t blue,
                   uint8_t alpha) {
    std::vector<uint8_t> bytes(18, 0);
    bytes[2] = 2;  // uncompressed true colour
    bytes[12] = static_cast<uint8_t>(width);
    bytes[13] = static_cast<uint8_t>(width >> 8);
    bytes[14] = static_cast<uint8_t>(height);
    bytes[15] = static_cast<uint8_t>(height >> 8);
    bytes[16] = 32;
    bytes[17] = 8;  // eight alpha bits, lower-left origin
    for (int i = 0; i < width * height; ++i) bytes.insert(bytes.end(), {blue, green, red, alpha});
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}
