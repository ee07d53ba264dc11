// Renders chosen times of the bundled demo into a hidden 640x480 GL context
// and writes the frames' pixels to a file, or compares two such files, so a
// change that must not alter the picture can be checked against a capture
// made before it. Between captured frames the demo is stepped every 0.25 s
// so that sync events reach the effects at the same frames in every run.
// Usage: pixel_capture capture <file> [demo directory] [--size WxH] [--renderer gles2]
//        pixel_capture compare <file> <file> [png directory]
//        pixel_capture held <seconds> <png> [demo directory]
//        pixel_capture fidelity [demo directory]
// capture --size draws each moment at WxH as the player's --size does for a
// capture (off screen unless at 640x480) and keeps the frames only at
// 640x480; at other sizes it keeps nothing and only checks that the bars
// around the picture stay black.
// fidelity prints, for 10 moments, how the picture drawn at 2560x1920 and
// box-filtered to 640x480 compares with the one drawn at 640x480 (PSNR),
// and how sharp it is against a bicubic 4x enlargement of the 640x480 one
// (mean gradient magnitude of the luma).
// held writes the still frame the browser page shows for ?start=T&paused=1.
// compare with a directory also writes each differing moment of both files
// as PNG pictures there, to be looked at side by side.
#include <GL/gl.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include "demo_session.h"
#include "platform/gl_render_state.h"
#include "platform/gles2_render_state.h"
#include "platform/picture_area.h"
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

struct Size {
    int width = 0;  // 0: the hidden window itself, no off-screen framebuffer
    int height = 0;
};

// Lit pixels (any channel above 16) in columns [x0, x1) and rows [y0, y1).
std::size_t litPixels(const std::vector<uint8_t>& rgba, int rowWidth, int x0, int x1, int y0, int y1) {
    std::size_t lit = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const uint8_t* p = &rgba[(std::size_t(y) * rowWidth + x) * 4];
            lit += p[0] > 16 || p[1] > 16 || p[2] > 16;
        }
    return lit;
}

int capture(const char* fileName, const char* directory, bool gles2, Size size) {
    // Opened first: a relative name means the caller's directory.
    std::ofstream out(fileName, std::ios::binary);
    if (!enterDemoDirectory(directory)) return 1;
    requestGLES2Contexts(gles2);
    if (!openHeadlessGLContext(width, height)) return 1;
    GlRenderState fixedFunction;
    Gles2RenderState shaders;
    RenderState& renderState = gles2 ? static_cast<RenderState&>(shaders) : fixedFunction;
    useRenderStateForViewport(&renderState);
    // As the player does: at its own size it keeps drawing into the window.
    const bool keepFrames = size.width == 0 || (size.width == width && size.height == height);
    if (!keepFrames && !drawOffScreen(size.width, size.height)) return 1;
    const PixelArea area = pictureAreaIn(size.width, size.height);
    std::unique_ptr<Demo> demo = loadDemo(renderState);
    int steps = 0;
    for (float capturedAt : captureTimes) {
        for (float t = steps * step; t < capturedAt; t = ++steps * step) demo->drawFrame(t);
        demo->drawFrame(capturedAt);
        glFinish();
        if (keepFrames) {
            const std::vector<uint8_t> pixels = readFramebufferRGBA(0, 0, width, height);
            out.write(reinterpret_cast<const char*>(pixels.data()), static_cast<std::streamsize>(pixels.size()));
        } else {
            const std::vector<uint8_t> pixels = readFramebufferRGBA(0, 0, size.width, size.height);
            const std::size_t inBars =
                litPixels(pixels, size.width, 0, area.x, 0, size.height) +
                litPixels(pixels, size.width, area.x + area.width, size.width, 0, size.height) +
                litPixels(pixels, size.width, area.x, area.x + area.width, 0, area.y) +
                litPixels(pixels, size.width, area.x, area.x + area.width, area.y + area.height, size.height);
            if (inBars > 0) std::fprintf(stderr, "t=%.2f: %zu lit pixels outside the picture\n", capturedAt, inBars);
        }
        swapHeadlessGLBuffers();
    }
    return out ? 0 : 1;
}

// The demo drawn at the given moments off screen at width x height, each
// frame's picture area kept (rows bottom first).
std::vector<std::vector<uint8_t>> drawMoments(RenderState& renderState, const std::vector<float>& moments, int w,
                                              int h) {
    if (!drawOffScreen(w, h)) return {};
    std::unique_ptr<Demo> demo = loadDemo(renderState);
    std::vector<std::vector<uint8_t>> frames;
    int steps = 0;
    for (float at : moments) {
        for (float t = steps * step; t < at; t = ++steps * step) demo->drawFrame(t);
        demo->drawFrame(at);
        glFinish();
        frames.push_back(readFramebufferRGBA(0, 0, w, h));
    }
    return frames;
}

double luma(const uint8_t* p) { return 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2]; }

// Mean magnitude of the luma's gradient (differences to the right and
// upward neighbour) of a w x h RGBA frame.
double meanGradient(const std::vector<uint8_t>& rgba, int w, int h) {
    double sum = 0.0;
    for (int y = 0; y + 1 < h; ++y)
        for (int x = 0; x + 1 < w; ++x) {
            const uint8_t* p = &rgba[(std::size_t(y) * w + x) * 4];
            const double here = luma(p);
            const double dx = luma(p + 4) - here, dy = luma(p + std::size_t(w) * 4) - here;
            sum += std::sqrt(dx * dx + dy * dy);
        }
    return sum / (double(w - 1) * (h - 1));
}

// Keys' cubic (a = -0.5), the usual bicubic of picture editors.
double cubicWeight(double d) {
    d = std::fabs(d);
    if (d < 1.0) return (1.5 * d - 2.5) * d * d + 1.0;
    if (d < 2.0) return ((-0.5 * d + 2.5) * d - 4.0) * d + 2.0;
    return 0.0;
}

std::vector<uint8_t> bicubicEnlarged(const std::vector<uint8_t>& rgba, int w, int h, int factor) {
    const int bw = w * factor, bh = h * factor;
    std::vector<uint8_t> big(std::size_t(bw) * bh * 4);
    for (int y = 0; y < bh; ++y) {
        const double sy = (y + 0.5) / factor - 0.5;
        const int y0 = int(std::floor(sy));
        for (int x = 0; x < bw; ++x) {
            const double sx = (x + 0.5) / factor - 0.5;
            const int x0 = int(std::floor(sx));
            double channel[4] = {0, 0, 0, 0};
            for (int j = -1; j <= 2; ++j)
                for (int i = -1; i <= 2; ++i) {
                    const double weight = cubicWeight(sx - (x0 + i)) * cubicWeight(sy - (y0 + j));
                    const int cx = std::clamp(x0 + i, 0, w - 1), cy = std::clamp(y0 + j, 0, h - 1);
                    const uint8_t* p = &rgba[(std::size_t(cy) * w + cx) * 4];
                    for (int c = 0; c < 4; ++c) channel[c] += weight * p[c];
                }
            uint8_t* out = &big[(std::size_t(y) * bw + x) * 4];
            for (int c = 0; c < 4; ++c) out[c] = uint8_t(std::clamp(std::lround(channel[c]), 0L, 255L));
        }
    }
    return big;
}

// PSNR (dB) of the colour channels of a factor x factor box-filtered big
// frame against a small one.
double boxFilteredPsnr(const std::vector<uint8_t>& big, const std::vector<uint8_t>& small, int w, int h, int factor) {
    const int bw = w * factor;
    double squares = 0.0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int j = 0; j < factor; ++j)
                    for (int i = 0; i < factor; ++i)
                        sum += big[((std::size_t(y) * factor + j) * bw + std::size_t(x) * factor + i) * 4 + c];
                const double mean = double(sum) / (factor * factor);
                const double error = mean - small[(std::size_t(y) * w + x) * 4 + c];
                squares += error * error;
            }
    const double mse = squares / (double(w) * h * 3);
    return mse == 0.0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

int fidelity(const char* directory) {
    const std::vector<float> moments = {3.0f, 17.0f, 35.0f, 53.0f, 76.0f, 101.0f, 127.0f, 160.0f, 195.0f, 225.0f};
    constexpr int factor = 4;
    if (!enterDemoDirectory(directory)) return 1;
    if (!openHeadlessGLContext(width, height)) return 1;
    GlRenderState renderState;
    useRenderStateForViewport(&renderState);
    const std::vector<std::vector<uint8_t>> small = drawMoments(renderState, moments, width, height);
    const std::vector<std::vector<uint8_t>> big = drawMoments(renderState, moments, width * factor, height * factor);
    if (small.size() != moments.size() || big.size() != moments.size()) return 1;
    std::printf(
        "| time (s) | PSNR 2560x1920 box-filtered vs 640x480 (dB) | mean gradient 2560x1920 | "
        "mean gradient bicubic 4x of 640x480 | ratio |\n|---|---|---|---|---|\n");
    for (std::size_t i = 0; i < moments.size(); ++i) {
        const double psnr = boxFilteredPsnr(big[i], small[i], width, height, factor);
        const double native = meanGradient(big[i], width * factor, height * factor);
        const double enlarged =
            meanGradient(bicubicEnlarged(small[i], width, height, factor), width * factor, height * factor);
        std::printf("| %.0f | %.1f | %.3f | %.3f | %.2f |\n", moments[i], psnr, native, enlarged,
                    enlarged > 0.0 ? native / enlarged : 0.0);
    }
    return 0;
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
    // The size and renderer options come last, in either order.
    bool gles2 = false;
    Size size;
    while (argc >= 3) {
        if (std::strcmp(argv[argc - 2], "--renderer") == 0) {
            gles2 = std::strcmp(argv[argc - 1], "gles2") == 0;
            if (!gles2 && std::strcmp(argv[argc - 1], "gl") != 0) {
                std::fprintf(stderr, "--renderer takes gl or gles2\n");
                return 2;
            }
        } else if (std::strcmp(argv[argc - 2], "--size") == 0) {
            if (std::sscanf(argv[argc - 1], "%dx%d", &size.width, &size.height) != 2 || size.width <= 0 ||
                size.height <= 0) {
                std::fprintf(stderr, "--size takes WIDTHxHEIGHT\n");
                return 2;
            }
        } else {
            break;
        }
        argc -= 2;
    }
    if (argc >= 3 && std::strcmp(argv[1], "capture") == 0)
        return capture(argv[2], argc > 3 ? argv[3] : nullptr, gles2, size);
    if (argc >= 2 && std::strcmp(argv[1], "fidelity") == 0) return fidelity(argc > 2 ? argv[2] : nullptr);
    if ((argc == 4 || argc == 5) && std::strcmp(argv[1], "compare") == 0)
        return compare(argv[2], argv[3], argc == 5 ? argv[4] : nullptr);
    if (argc >= 4 && std::strcmp(argv[1], "held") == 0) return held(argv[2], argv[3], argc > 4 ? argv[4] : nullptr);
    std::fprintf(
        stderr,
        "usage: pixel_capture capture <file> [demo directory] [--renderer gl|gles2] | compare <file> <file> "
        "[png directory] | held <seconds> <png> [demo directory] | fidelity [demo directory]; capture also takes "
        "--size WxH\n");
    return 2;
}
