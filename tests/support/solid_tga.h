#pragma once
// Writes an uncompressed 32-bit TGA of one colour, for tests that need a
// picture file on disk.
#include <cstdint>
#include <string>

void writeSolidTga(const std::string& path, int width, int height, uint8_t red, uint8_t green, uint8_t blue,
                   uint8_t alpha);
