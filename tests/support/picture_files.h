#pragma once
// Test pictures made on the spot: TGA bytes and files, and JPEGs encoded
// with libjpeg; scratch folders to write them into.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "support/scratch_directory.h"

struct Rgba {
    uint8_t r, g, b, a;
};

// An 18-byte TGA header followed by idLength bytes of ID field.
std::vector<uint8_t> tgaHeader(int imageType, int width, int height, int depth, int idLength = 0);

// The header plus pixel bytes in file order.
std::vector<uint8_t> tgaFile(int imageType, int width, int height, int depth, const std::vector<uint8_t>& pixelBytes);

struct JpegOptions {
    int components = 3;  // 3 RGB, 1 greyscale, 4 CMYK (stored as given, Adobe marker written)
    int quality = 100;
    bool progressive = false;
};

// Encodes width * height pixels of the given components with libjpeg.
std::vector<uint8_t> encodeJpeg(int width, int height, const std::vector<uint8_t>& samples,
                                const JpegOptions& options = {});

// A solid width * height RGB picture.
std::vector<uint8_t> solidRgb(int width, int height, uint8_t red, uint8_t green, uint8_t blue);

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// An uncompressed 32-bit TGA file as the player's loaders read it;
// colourAt(x, y) gives the pixel at column x of row y, row 0 at the top.
void writeTgaFile(const std::string& path, int width, int height, const std::function<Rgba(int x, int y)>& colourAt);
// The same in one colour; returns path.
std::string writeSolidTga(const std::string& path, int width, int height, uint8_t red, uint8_t green, uint8_t blue,
                          uint8_t alpha = 255);
