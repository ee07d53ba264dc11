// Renders chosen times of the bundled demo into a hidden 640x480 GL context
// and writes the frames' pixels to a file, or compares two such files, so a
// change that must not alter the picture can be checked against a capture
// made before it. Between captured frames the demo is stepped every 0.25 s
// so that sync events reach the effects at the same frames in every run.
// Usage: pixel_capture capture <file> [demo directory] [--renderer gles2]
//        pixel_capture compare <file> <file> [png directory]
//        pixel_capture held <seconds> <png> [demo directory]
// held writes the still frame the browser page shows for ?start=T&paused=1.
// compare with a directory also writes each differing moment of both files
// as PNG pictures there, to be looked at side by side.
#include <GL/gl.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include <cstdlib>
#include <filesystem>
#include <string>
#include "demo_session.h"
#include "platform/gl_render_state.h"
#include "platform/gles2_render_state.h"
#include "platform/window.h"
#include "player/sync_catch_up.h"
#include "recording/png_writer.h"
#include "support/headless_gl.h"

namespace {

constexpr int width = 640;
constexpr int height = 480;
constexpr std::size_t frameBytes = std::size_t{width} * height * 4;
constexpr float step = 0.25f;
// Every scene, early, middle and late in it, and the fade of the end:
// 64 moments.
const float captureTimes[] = {1.0f,   3.0f,   5.0f,   9.0f,   11.0f,  14.5f,  17.0f,  20.0f,  25.0f,  30.0f,  35.0f,
                              40.0f,  44.0f,  47.0f,  49.0f,  53.0f,  56.0f,  60.0f,  64.0f,  67.0f,  71.0f,  73.0f,
                              76.0f,  80.0f,  85.0f,  90.0f,  95.0f,  97.0f,  101.0f, 105.0f, 110.0f, 115.0f, 120.0f,
                              124.0f, 127.0f, 129.0f, 133.0f, 136.0f, 140.0f, 145.0f, 150.0f, 155.0f, 160.0f, 165.0f,
                              170.0f, 177.0f, 182.0f, 186.0f, 190.0f, 195.0f, 200.0f, 207.0f, 209.0f, 213.0f, 217.0f,
                              220.0f, 225.0f, 230.0f, 235.0f, 238.0f, 241.0f, 245.0f, 250.0f, 253.0f};

int capture(const char* fileName, const char* directory, bool gles2) {
    // Opened first: a relative name means the caller's directory.
    std::ofstream out(fileName, std::ios::binary);
    if (!enterDemoDirectory(directory)) return 1;
    requestGLES2Contexts(gles2);
    if (!openHeadlessGLContext(width, height)) return 1;
    GlRenderState fixedFunction;
    Gles2RenderState shaders;
    std::unique_ptr<Demo> demo = loadDemo(gles2 ? static_cast<RenderState&>(shaders) : fixedFunction);
    int steps = 0;
    for (float capturedAt : captureTimes) {
        for (float t = steps * step; t < capturedAt; t = ++steps * step) demo->drawFrame(t);
        demo->drawFrame(capturedAt);
        glFinish();
        const std::vector<uint8_t> pixels = readFramebufferRGBA(0, 0, width, height);
        out.write(reinterpret_cast<const char*>(pixels.data()), static_cast<std::streamsize>(pixels.size()));
        swapHeadlessGLBuffers();
    }
    return out ? 0 : 1;
}

int held(const char* seconds, const char* fileName, const char* directory) {
    char* end = nullptr;
    const float t = std::strtof(seconds, &end);
    if (end == seconds || *end != '\0' || !(t >= 0.0f)) {
        std::fprintf(stderr, "held needs a time in seconds, 0 or more\n");
        return 2;
    }
    // A relative name means the caller's directory.
    const std::string path = std::filesystem::absolute(fileName).string();
    if (!enterDemoDirectory(directory)) return 1;
    if (!openHeadlessGLContext(width, height)) return 1;
    GlRenderState renderState;
    std::unique_ptr<Demo> demo = loadDemo(renderState);
    demo->catchUpTo(t, playStepsPerSecond);
    demo->drawFrame(t);
    glFinish();
    const std::vector<uint8_t> pixels = readFramebufferRGBA(0, 0, width, height);
    return writePngFile(path, {pixels.data(), width, height, true}) ? 0 : 1;
}

std::vector<char> readAll(const char* fileName) {
    std::ifstream in(fileName, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool writeMoment(const std::string& directory, float time, const char* which, const char* pixels) {
    char name[64];
    std::snprintf(name, sizeof name, "/t%06.2f-%s.png", time, which);
    return writePngFile(directory + name, {reinterpret_cast<const uint8_t*>(pixels), width, height, true});
}

int compare(const char* first, const char* second, const char* pngDirectory) {
    const std::vector<char> a = readAll(first), b = readAll(second);
    if (a.size() != b.size() || a.size() != frameBytes * std::size(captureTimes)) {
        std::fprintf(stderr, "captures differ in size: %zu and %zu bytes\n", a.size(), b.size());
        return 1;
    }
    int differentFrames = 0;
    for (std::size_t frame = 0; frame < std::size(captureTimes); ++frame) {
        std::size_t differentBytes = 0;
        for (std::size_t i = frame * frameBytes; i < (frame + 1) * frameBytes; ++i) differentBytes += a[i] != b[i];
        if (differentBytes == 0) continue;
        ++differentFrames;
        std::fprintf(stderr, "t=%.2f: %zu bytes differ\n", captureTimes[frame], differentBytes);
        if (pngDirectory && !(writeMoment(pngDirectory, captureTimes[frame], "first", &a[frame * frameBytes]) &&
                              writeMoment(pngDirectory, captureTimes[frame], "second", &b[frame * frameBytes]))) {
            std::fprintf(stderr, "cannot write the pictures into %s\n", pngDirectory);
            return 1;
        }
    }
    std::fprintf(stderr, "%d of %zu frames differ\n", differentFrames, std::size(captureTimes));
    return differentFrames == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    // The renderer option comes last.
    bool gles2 = false;
    if (argc >= 2 && std::strcmp(argv[argc - 2], "--renderer") == 0) {
        gles2 = std::strcmp(argv[argc - 1], "gles2") == 0;
        if (!gles2 && std::strcmp(argv[argc - 1], "gl") != 0) {
            std::fprintf(stderr, "--renderer takes gl or gles2\n");
            return 2;
        }
        argc -= 2;
    }
    if (argc >= 3 && std::strcmp(argv[1], "capture") == 0) return capture(argv[2], argc > 3 ? argv[3] : nullptr, gles2);
    if ((argc == 4 || argc == 5) && std::strcmp(argv[1], "compare") == 0)
        return compare(argv[2], argv[3], argc == 5 ? argv[4] : nullptr);
    if (argc >= 4 && std::strcmp(argv[1], "held") == 0) return held(argv[2], argv[3], argc > 4 ? argv[4] : nullptr);
    std::fprintf(stderr,
                 "usage: pixel_capture capture <file> [demo directory] [--renderer gl|gles2] | compare <file> <file> "
                 "[png directory] | held <seconds> <png> [demo directory]\n");
    return 2;
}
