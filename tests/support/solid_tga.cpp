#include "support/solid_tga.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

std::string writeSolidTga(const std::string& fileName, int width, int height, uint8_t red, uint8_t green,
                          uint8_t blue, uint8_t alpha) {
    std::vector<uint8_t> bytes(18, 0);
    bytes[2] = 2;  // uncompressed true colour
    bytes[12] = uint8_t(width & 0xff);
    bytes[13] = uint8_t(width >> 8);
    bytes[14] = uint8_t(height & 0xff);
    bytes[15] = uint8_t(height >> 8);
    bytes[16] = 32;
    bytes[17] = 8;  // eight alpha bits
    for (int i = 0; i < width * height; ++i) {
        bytes.push_back(blue);
        bytes.push_back(green);
        bytes.push_back(red);
        bytes.push_back(alpha);
    }
    const std::string path = (std::filesystem::temp_directory_path() / (std::to_string(getpid()) + "-" + fileName)).string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return path;
}
