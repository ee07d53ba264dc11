#include "assets/file_bytes.h"

#include <cstdio>

bool readFileBytes(const char* path, std::vector<uint8_t>& bytes) {
    bytes.clear();
    FILE* file = std::fopen(path, "rb");
    if (!file) return false;
    uint8_t chunk[65536];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    std::fclose(file);
    return true;
}
