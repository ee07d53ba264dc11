#pragma once
// Writes true-colour Truevision TGA files (image types 2 and 10).
#include <cstdint>
#include <string>
#include <vector>

#include "picture.h"

enum class TgaEncoding { Uncompressed, RunLength };

struct TgaFormat {
    int bitsPerPixel = 24;  // 24 or 32
    TgaEncoding encoding = TgaEncoding::Uncompressed;
    // With 32 bits: whether the alpha channel carries meaning (descriptor
    // alpha bits 8). Without it every pixel's alpha byte is written as 255.
    bool hasAlpha = false;
};

// Uncompressed files use the usual lower-left origin (bottom row first).
// Run-length files are stored top row first and say so in the descriptor
// (upper-left origin): the player keeps the row order of run-length files,
// so this is the layout that shows upright both there and in other viewers.
std::vector<uint8_t> encodeTga(const Picture& picture, const TgaFormat& format);

// Run-length packets of one row of pixels (each pixel bytesPerPixel bytes),
// appended to out. Never crosses the row, at most 128 pixels per packet.
void appendRunLengthRow(const uint8_t* row, int width, int bytesPerPixel, std::vector<uint8_t>& out);

bool writeBytes(const std::string& path, const std::vector<uint8_t>& bytes);
