// The browser build goes without the object library for now: objects from
// OBJ, glTF and LWO2 files say so and draw nothing; LWOB objects still draw.
#include "assets/object_import.h"

namespace {

bool unavailable(ImportedObject& object, std::string& problem) {
    object = ImportedObject();
    problem = "cannot be read: the browser build reads only LightWave LWOB objects";
    return false;
}

}  // namespace

bool importObjectFile(const std::string&, ImportedObject& object, std::string& problem) {
    return unavailable(object, problem);
}

bool importObjectFromMemory(const uint8_t*, std::size_t, const std::string&, ImportedObject& object,
                            std::string& problem) {
    return unavailable(object, problem);
}
