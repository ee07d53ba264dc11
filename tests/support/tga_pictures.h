#pragma once
// Small pictures written by tests into a private directory, as 32-bit
// uncompressed TGA files the player's loaders read.
#include <cstdint>
#include <functional>
#include <string>

struct Rgba {
    uint8_t r, g, b, a;
};

// A new empty directory under /tmp whose path holds no "." (the loaders
// take the text after the first "." as the extension).
std::string makePictureDirectory();

// colourAt(x, y) gives the pixel at column x of row y, row 0 at the top.
void writeTgaFile(const std::string& path, int width, int height,
                  const std::function<Rgba(int x, int y)>& colourAt);
