#pragma once
// Encodes pictures as JPEG through libjpeg.
#include <cstdint>
#include <vector>

#include "picture.h"

// A baseline RGB JPEG of the picture (alpha is dropped).
std::vector<uint8_t> encodeJpeg(const Picture& picture, int quality);

// Interleaved samples, top row first: 1 component is greyscale, 3 are RGB,
// 4 are CMYK.
std::vector<uint8_t> encodeJpegSamples(int width, int height, int components, const std::vector<uint8_t>& samples,
                                       int quality, bool progressive);
