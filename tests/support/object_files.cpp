#include "support/object_files.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

const char* const blenderCubeObj = R"(# Blender 3.4.1
# www.blender.org
mtllib cube.mtl
o Cube
v 1.000000 1.000000 -1.000000
v 1.000000 -1.000000 -1.000000
v 1.000000 1.000000 1.000000
v 1.000000 -1.000000 1.000000
v -1.000000 1.000000 -1.000000
v -1.000000 -1.000000 -1.000000
v -1.000000 1.000000 1.000000
v -1.000000 -1.000000 1.000000
vn -0.0000 1.0000 -0.0000
vn -0.0000 -0.0000 1.0000
vn -1.0000 -0.0000 -0.0000
vn -0.0000 -1.0000 -0.0000
vn 1.0000 -0.0000 -0.0000
vn -0.0000 -0.0000 -1.0000
vt 0.625000 0.500000
vt 0.375000 0.500000
vt 0.625000 0.750000
vt 0.375000 0.750000
vt 0.875000 0.500000
vt 0.625000 0.250000
vt 0.125000 0.500000
vt 0.375000 0.250000
vt 0.875000 0.750000
vt 0.625000 1.000000
vt 0.625000 0.000000
vt 0.375000 1.000000
vt 0.375000 0.000000
vt 0.125000 0.750000
s 0
usemtl Material
f 1/1/1 5/5/1 7/9/1 3/3/1
f 4/4/2 3/3/2 7/10/2 8/12/2
f 8/13/3 7/11/3 5/6/3 6/8/3
f 6/7/4 2/2/4 4/4/4 8/14/4
f 2/2/5 1/1/5 3/3/5 4/4/5
f 6/8/6 5/6/6 1/1/6 2/2/6
)";

namespace {

std::string base64(const std::vector<uint8_t>& bytes) {
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const uint32_t a = bytes[i];
        const uint32_t b = i + 1 < bytes.size() ? bytes[i + 1] : 0;
        const uint32_t c = i + 2 < bytes.size() ? bytes[i + 2] : 0;
        const uint32_t group = a << 16 | b << 8 | c;
        out += digits[group >> 18 & 63];
        out += digits[group >> 12 & 63];
        out += i + 1 < bytes.size() ? digits[group >> 6 & 63] : '=';
        out += i + 2 < bytes.size() ? digits[group & 63] : '=';
    }
    return out;
}

}  // namespace

std::string gltfTriangle(const std::vector<float>& positions, const std::vector<float>& normals,
                         const std::vector<float>& texCoords) {
    std::vector<uint8_t> buffer;
    std::string attributes, accessors, views;
    const std::size_t count = positions.size() / 3;
    const auto add = [&](const std::vector<float>& values, const char* name, const char* type, bool bounds) {
        if (values.empty()) return;
        const std::size_t index = views.empty() ? 0 : std::count(views.begin(), views.end(), '{');
        const std::size_t offset = buffer.size();
        buffer.resize(offset + values.size() * 4);
        std::memcpy(buffer.data() + offset, values.data(), values.size() * 4);
        const std::string i = std::to_string(index);
        attributes += std::string(attributes.empty() ? "" : ",") + "\"" + name + "\":" + i;
        views += std::string(views.empty() ? "" : ",") + "{\"buffer\":0,\"byteOffset\":" + std::to_string(offset) +
                 ",\"byteLength\":" + std::to_string(values.size() * 4) + "}";
        accessors += std::string(accessors.empty() ? "" : ",") + "{\"bufferView\":" + i +
                     ",\"componentType\":5126,\"count\":" + std::to_string(count) + ",\"type\":\"" + type + "\"" +
                     (bounds ? ",\"min\":[-10,-10,-10],\"max\":[10,10,10]" : "") + "}";
    };
    add(positions, "POSITION", "VEC3", true);
    add(normals, "NORMAL", "VEC3", false);
    add(texCoords, "TEXCOORD_0", "VEC2", false);
    return "{\"asset\":{\"version\":\"2.0\",\"generator\":\"Khronos glTF Blender I/O v3.4.50\"},"
           "\"scene\":0,\"scenes\":[{\"nodes\":[0]}],\"nodes\":[{\"mesh\":0,\"name\":\"Triangle\"}],"
           "\"meshes\":[{\"primitives\":[{\"attributes\":{" +
           attributes + "}}]}],\"accessors\":[" + accessors + "],\"bufferViews\":[" + views +
           "],\"buffers\":[{\"byteLength\":" + std::to_string(buffer.size()) +
           ",\"uri\":\"data:application/octet-stream;base64," + base64(buffer) + "\"}]}";
}
