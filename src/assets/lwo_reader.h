#pragma once
// Reader for LightWave object files (IFF "FORM" of type "LWOB"): points and
// polygons only; every other chunk is skipped. Detail polygons come out as
// polygons of their own, right after the polygon they belong to.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "assets/vec.h"

struct LwoPolygon {
    std::vector<uint16_t> indices;  // 0-based point indices, as many as the record names
    // The 1-based surface number. A record's negative number (detail
    // polygons follow it) is kept as its magnitude.
    int32_t surface = 0;
};

struct LwoObject {
    std::vector<Vec3> points;
    std::vector<LwoPolygon> polygons;

    int pointCount() const { return static_cast<int>(points.size()); }
    int polygonCount() const { return static_cast<int>(polygons.size()); }

    // Fills the object from the bytes of a whole file. A later "PNTS" or
    // "POLS" chunk replaces an earlier one. Returns false, with the object
    // left empty, when the header is wrong or a chunk or polygon record runs
    // past the data (reported on stdout); nothing outside the block is read.
    bool parse(const uint8_t* data, size_t size);
};

// Reads the file into one block and parses it, printing the progress lines.
// Null when the file cannot be opened or read; an object that failed to
// parse comes back empty.
std::unique_ptr<LwoObject> loadLwoObject(const std::string& fileName);

// Big-endian readers; the caller guarantees the bytes exist.
uint32_t readBigEndianU32(const uint8_t* bytes);
uint16_t readBigEndianU16(const uint8_t* bytes);
float readBigEndianFloat(const uint8_t* bytes);
