#pragma once
// Objects from today's modelling tools: Wavefront OBJ, glTF 2.0 (.gltf and
// .glb) and LightWave's later LWO2 files, read through the Assimp library.
// LightWave LWOB files keep their own reader (lwo_reader.h); this route
// takes what that reader does not.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "assets/vec.h"

// An object as triangles over shared points, with what the file says of
// them. Normals and texture coordinates are either one per point or absent:
// the caller then computes them as it does for a LightWave object.
struct ImportedObject {
    std::vector<Vec3> points;
    std::vector<int32_t> triangles;  // three point indices each, all in range
    std::vector<Vec3> normals;
    std::vector<Vec2> texCoords;  // v = 0 at the picture's top row

    int triangleCount() const { return static_cast<int>(triangles.size() / 3); }
};

// Whether fileName is for this route: by its extension (.obj, .gltf, .glb,
// any case), or a LightWave file whose form says LWO2. Reads at most the
// first 12 bytes of the file.
bool isImportedObjectFile(const std::string& fileName);
// The same test on a LightWave file's leading bytes.
bool isLwo2Form(const uint8_t* data, std::size_t size);

// Reads the file (and the files it names beside it, such as a glTF's
// buffers). False when it cannot be read or holds no triangles; problem then
// says why in words that follow "object file 'NAME' " ("cannot be read:
// ..."), on one line.
bool importObjectFile(const std::string& fileName, ImportedObject& object, std::string& problem);
// The same for a whole file held in memory; extension ("obj", "gltf", "glb"
// or "lwo") tells its format. Files it names are not looked for.
bool importObjectFromMemory(const uint8_t* data, std::size_t size, const std::string& extension, ImportedObject& object,
                            std::string& problem);
