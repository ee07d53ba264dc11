// tool_objects: writes the bundled demo's LightWave objects into a folder.
// Usage: tool_objects OUTPUT_DIR
#include <cstdio>
#include <string>

#include "lwob_writer.h"
#include "shapes.h"
#include "tga_writer.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    std::string dir = argv[1];
    bool ok = writeBytes(dir + "/torus.lwo", encodeLwob(makeTorus(1.0f, 0.38f, 64, 24), {"Chrome", {220, 220, 235}}));
    ok = writeBytes(dir + "/sphere.lwo", encodeLwob(makeSphere(1.0f, 4), {"Planet", {160, 90, 200}})) && ok;
    ok = writeBytes(dir + "/ring.lwo", encodeLwob(makeTorus(1.7f, 0.07f, 96, 8), {"Ring", {230, 200, 150}})) && ok;
    return ok ? 0 : 1;
}
