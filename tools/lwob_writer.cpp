#include "lwob_writer.h"

#include <cstring>

namespace {

void put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
}

void put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}

void putFloat(std::vector<uint8_t>& out, float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    put32(out, bits);
}

void putId(std::vector<uint8_t>& out, const char* id) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(id[i]));
}

// A name as IFF stores it: zero-terminated, padded with a zero to even length.
void putName(std::vector<uint8_t>& out, const std::string& name) {
    out.insert(out.end(), name.begin(), name.end());
    out.push_back(0);
    if ((name.size() + 1) % 2) out.push_back(0);
}

void putChunk(std::vector<uint8_t>& out, const char* id, const std::vector<uint8_t>& data) {
    putId(out, id);
    put32(out, uint32_t(data.size()));
    out.insert(out.end(), data.begin(), data.end());
}

}  // namespace

std::vector<uint8_t> encodeLwob(const TriangleMesh& mesh, const LwoSurface& surface) {
    std::vector<uint8_t> points;
    for (const auto& p : mesh.points)
        for (float c : p) putFloat(points, c);

    std::vector<uint8_t> surfaceNames;
    putName(surfaceNames, surface.name);

    std::vector<uint8_t> polygons;
    for (const auto& t : mesh.triangles) {
        put16(polygons, 3);
        for (uint16_t index : t) put16(polygons, index);
        put16(polygons, 1);  // surfaces are numbered from 1 in SRFS order
    }

    std::vector<uint8_t> surfaceBody;
    putName(surfaceBody, surface.name);
    putId(surfaceBody, "COLR");
    put16(surfaceBody, 4);
    surfaceBody.insert(surfaceBody.end(), surface.colour.begin(), surface.colour.end());
    surfaceBody.push_back(0);
    putId(surfaceBody, "FLAG");
    put16(surfaceBody, 2);
    put16(surfaceBody, 0);

    std::vector<uint8_t> chunks;
    putId(chunks, "LWOB");
    putChunk(chunks, "PNTS", points);
    putChunk(chunks, "SRFS", surfaceNames);
    putChunk(chunks, "POLS", polygons);
    putChunk(chunks, "SURF", surfaceBody);

    std::vector<uint8_t> file;
    putId(file, "FORM");
    put32(file, uint32_t(chunks.size()));
    file.insert(file.end(), chunks.begin(), chunks.end());
    return file;
}
