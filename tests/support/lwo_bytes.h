#pragma once
// Builds LightWave object files byte by byte for reader and effect tests.
#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

void appendBigEndian32(Bytes& out, uint32_t value);
void appendBigEndian16(Bytes& out, uint16_t value);
void appendBigEndianFloat(Bytes& out, float value);

// A chunk: four-letter identifier, big-endian size, then the data as given.
Bytes lwoChunk(const char* id, const Bytes& data);
Bytes lwoPoints(const std::vector<float>& xyz);
// Each polygon: its indices; every record gets surface 1.
Bytes lwoPolygons(const std::vector<std::vector<uint16_t>>& polygons);
// "FORM", the size of what follows, then the type and the chunks.
Bytes lwoFile(const std::vector<Bytes>& chunks, const char* type = "LWOB");

void writeBytesToFile(const std::string& path, const Bytes& bytes);
