// Which route an object file takes; the reading itself is in
// object_import.cpp, which the browser build may go without.
#include <cctype>
#include <cstring>
#include <vector>

#include "assets/asset_reading.h"
#include "assets/object_import.h"

namespace {

std::string lowerExtension(const std::string& fileName) {
    const std::size_t dot = fileName.find_last_of('.');
    const std::size_t slash = fileName.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string extension = fileName.substr(dot + 1);
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

}  // namespace

bool isLwo2Form(const uint8_t* data, std::size_t size) {
    return data != nullptr && size >= 12 && std::memcmp(data, "FORM", 4) == 0 && std::memcmp(data + 8, "LWO2", 4) == 0;
}

bool isImportedObjectFile(const std::string& fileName) {
    const std::string extension = lowerExtension(fileName);
    if (extension == "obj" || extension == "gltf" || extension == "glb") return true;
    // Through the reading in force, which hands the same bytes to the
    // reader that follows.
    std::vector<uint8_t> bytes;
    if (!readAssetFile(fileName, bytes)) return false;
    return isLwo2Form(bytes.data(), bytes.size());
}
