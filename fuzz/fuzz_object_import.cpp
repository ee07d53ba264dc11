// Feeds arbitrary bytes to the library route for objects (OBJ, glTF, GLB,
// LWO2): the first byte picks the format, as a file's extension would. An
// accepted object becomes a mesh the way the object mode builds one.
#include <cstddef>
#include <cstdint>
#include <string>

#include "assets/mesh.h"
#include "assets/object_import.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static const char* const extensions[] = {"obj", "gltf", "glb", "lwo"};
    const std::string extension = extensions[data[0] % 4];
    ImportedObject object;
    std::string problem;
    if (!importObjectFromMemory(data + 1, size - 1, extension, object, problem)) return 0;
    const int pointCount = static_cast<int>(object.points.size());
    Mesh mesh(pointCount, object.triangleCount());
    for (int i = 0; i < pointCount; ++i) mesh.setVertex(i, object.points[i].x, object.points[i].y, object.points[i].z);
    for (int i = 0; i < object.triangleCount(); ++i)
        mesh.setPolygon(i, object.triangles[3 * i], object.triangles[3 * i + 1], object.triangles[3 * i + 2]);
    if (!mesh.polygonsInRange()) __builtin_trap();
    mesh.computeNormals();
    return 0;
}
