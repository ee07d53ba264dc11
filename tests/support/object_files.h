#pragma once
// Object files as modelling tools write them, for the library route's tests.
#include <string>
#include <vector>

// A unit cube as Blender's OBJ export writes it: an "o" line, a material
// library that is not there, "vn" and "vt", quads as "f v/vt/vn".
extern const char* const blenderCubeObj;

// A glTF 2.0 file of one mesh whose buffer is embedded as base64: three
// floats a point, then (where given) three a normal and two a texture
// coordinate, drawn as a plain list of triangles.
std::string gltfTriangle(const std::vector<float>& positions, const std::vector<float>& normals,
                         const std::vector<float>& texCoords);
