#pragma once
// Encodes a picture as a baseline JPEG through libjpeg (alpha is dropped).
#include <cstdint>
#include <vector>

#include "picture.h"

std::vector<uint8_t> encodeJpeg(const Picture& picture, int quality);
