#pragma once
// PNG output of captured frames: 8-bit RGB, no alpha (the demo clears to
// alpha 0, which a video encoder would otherwise take as transparent).
#include <cstdint>
#include <string>
#include <vector>

struct RgbaPicture {
    const uint8_t* pixels = nullptr;  // width * height * 4 bytes, R G B A
    int width = 0;
    int height = 0;
    bool bottomRowFirst = false;  // GL's read-back order
};

// zlib levels 0 to 9; frames of a long capture want speed over size.
constexpr int pngFastCompression = 1;

// Encodes the picture into png (replacing its contents). False on a bad
// picture or an encoder failure; png is then empty.
bool encodePng(const RgbaPicture& picture, std::vector<uint8_t>& png, int compression = pngFastCompression);
// Encodes and writes a file; false when either step fails.
bool writePngFile(const std::string& path, const RgbaPicture& picture, int compression = pngFastCompression);
