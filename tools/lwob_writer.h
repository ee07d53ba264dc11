#pragma once
// Writes LightWave objects in the LWOB format: FORM/LWOB with the chunks
// PNTS, SRFS, POLS and SURF, one surface for the whole object.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct TriangleMesh {
    std::vector<std::array<float, 3>> points;
    // Point indices, counter-clockwise seen from outside in a right-handed
    // frame: LightWave's clockwise front faces in its left-handed one.
    std::vector<std::array<uint16_t, 3>> triangles;
};

struct LwoSurface {
    std::string name = "Default";
    std::array<uint8_t, 3> colour = {200, 200, 200};
};

// The whole file. Every chunk has an even size, so no pad bytes are needed.
std::vector<uint8_t> encodeLwob(const TriangleMesh& mesh, const LwoSurface& surface);
