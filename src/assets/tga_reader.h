#pragma once
// Truevision TGA pictures: true colour at 32, 24 or 16 bits, uncompressed or
// run-length encoded (image type 10), and 16-bit grey with alpha (image types
// 3 and 11). A colour map in front of true-colour pixels is skipped;
// colour-mapped and 8-bit files are refused.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "assets/image_loader.h"

struct TgaImage {
    int bytesPerPixel = 0;  // 4 for 32-bit and grey-with-alpha files (B,G,R,A), 3 otherwise (R,G,B)
    int width = 0;
    int height = 0;
    std::vector<uint8_t> data;  // width * height pixels, rows without gaps
};

// Uncompressed 32/24-bit and grey files come out with their rows reversed
// (the usual bottom-up file gives the top row first); run-length and 16-bit
// colour files keep the file's row order. Stored pictures rely on both.
std::unique_ptr<TgaImage> Load_TGA(const char* path);
// The same decoding from bytes in memory; name only appears in messages.
std::unique_ptr<TgaImage> parseTga(const uint8_t* bytes, size_t size, const char* name);

class TgaLoader : public ImageLoader {
public:
    std::unique_ptr<Image> load(std::string fileName) override;
    std::string name() override { return "tga"; }
    std::unique_ptr<Image> loadFromBytes(const uint8_t* bytes, size_t size, const std::string& name);
};
