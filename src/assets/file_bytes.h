#pragma once
// Whole-file reading for the readers that decode from memory.
#include <cstdint>
#include <vector>

// Reads the file at path into bytes; false when it cannot be opened.
bool readFileBytes(const char* path, std::vector<uint8_t>& bytes);
