// Feeds arbitrary bytes to the LightWave object parser and, when it accepts
// them, turns the result into a mesh the way the object mode does.
#include <cstddef>
#include <cstdint>

#include "assets/lwo_reader.h"
#include "assets/mesh.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    LwoObject object;
    if (!object.parse(data, size)) return 0;
    Mesh mesh(object.pointCount(), object.polygonCount());
    for (int i = 0; i < object.pointCount(); ++i)
        mesh.setVertex(i, object.points[i].x, object.points[i].y, object.points[i].z);
    for (int i = 0; i < object.polygonCount(); ++i) {
        const auto& indices = object.polygons[i].indices;
        if (indices.size() >= 3) mesh.setPolygon(i, indices[0], indices[1], indices[2]);
    }
    mesh.computeNormals();
    return 0;
}
