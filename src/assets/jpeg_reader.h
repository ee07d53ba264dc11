#pragma once
// JPEG pictures through libjpeg (API 62). Library errors are reported by the
// library itself and end in a clean failure instead of ending the process.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "assets/image_loader.h"

// Decoder output as the library delivers it with its default parameters.
struct JpegPicture {
    std::vector<uint8_t> samples;  // height rows of width * components bytes, top row first
    int width = 0;
    int height = 0;
    int components = 0;         // 3 for RGB, 1 for greyscale, 4 for CMYK/YCCK
    bool invertedCmyk = false;  // Adobe files store CMYK inverted
    // libjpeg's first warning, empty when it gave none: the picture decoded,
    // but from damaged data (a file cut short is filled in grey).
    std::string warning;
};

// Larger pictures are refused rather than allocated: a few bytes of header
// must not cost gigabytes.
constexpr size_t maxJpegPixels = maxPicturePixels;

// maxPixels lowers the limit (the fuzz target decodes only small pictures).
bool readJpegFromMemory(const uint8_t* bytes, size_t size, JpegPicture& picture, size_t maxPixels = maxJpegPixels);

// Pixels as B, G, R, 255, whatever the decoder's colour space.
std::unique_ptr<Image> imageFromJpeg(const JpegPicture& picture);

class JpegLoader : public ImageLoader {
public:
    // maxPixels lowers the limit for files (the demo-folder fuzz target
    // decodes only small pictures).
    explicit JpegLoader(size_t maxPixels = maxJpegPixels) : maxPixels(maxPixels) {}
    // A file that cannot be read throws MissingPicture.
    std::unique_ptr<Image> load(std::string fileName) override;
    std::string name() override { return "jpg"; }
    std::unique_ptr<Image> loadFromBytes(const uint8_t* bytes, size_t size, size_t maxPixels = maxJpegPixels);

private:
    size_t maxPixels;
};
