#pragma once
// Writes a one-colour, uncompressed 32-bit TGA picture for tests that need a
// texture file and returns its path: in the temporary directory, prefixed
// with the process id so parallel runs do not collide.
#include <cstdint>
#include <string>

std::string writeSolidTga(const std::string& fileName, int width, int height, uint8_t red, uint8_t green,
                          uint8_t blue, uint8_t alpha);
