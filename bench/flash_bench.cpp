// Cost of the flash check's work per frame, outside GL: reducing a 640x480
// picture to cells (the luminance work), following the cells over time and
// the area rule, and the trial that --safe makes for each blend it tries.
// Frames are a noisy picture with a full-screen strobe on top, so both the
// quiet path and the failing one (area rule searched) are taken. Times are
// the thread's CPU time, so other load on the machine does not count.
// Usage: flash_bench [frames]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "authoring/flash_analysis.h"
#include "demo_session.h"

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3000;
    constexpr int width = 640, height = 480, fps = 60;
    std::vector<uint8_t> noise(static_cast<std::size_t>(width) * height * 4);
    uint32_t seed = 12345;
    for (uint8_t& byte : noise) {
        seed = seed * 1664525u + 1013904223u;
        byte = static_cast<uint8_t>(seed >> 24);
    }
    std::vector<uint8_t> picture(noise.size());
    FlashAnalysis analysis = startFlashAnalysis(width, height);
    FlashCells cells;
    double measuring = 0.0, following = 0.0, trying = 0.0;
    int failing = 0;
    for (int frame = 0; frame < frames; ++frame) {
        // Strobing at 10 Hz for one second in every four.
        const bool lit = frame % (4 * fps) < fps && frame % 6 < 3;
        for (std::size_t i = 0; i < picture.size(); ++i) picture[i] = lit ? 255 - noise[i] / 8 : noise[i] / 4;
        const double t = static_cast<double>(frame) / fps;
        const double start = threadCpuSeconds();
        measureFlashCells(picture.data(), width, height, analysis.rules, cells);
        const double measured = threadCpuSeconds();
        const bool wouldFail = flashFrameWouldFail(analysis, cells, t);
        const double tried = threadCpuSeconds();
        failing += addFlashFrame(analysis, cells, t).fails[0] || wouldFail;
        const double followed = threadCpuSeconds();
        measuring += measured - start;
        trying += tried - measured;
        following += followed - tried;
    }
    const auto perFrame = [frames](double seconds) { return seconds * 1e3 / frames; };
    std::printf("flash check, %d frames of 640x480 (%d in failing windows), thread CPU time per frame:\n", frames,
                failing);
    std::printf("  cells from pixels (luminance, red)  %.3f ms\n", perFrame(measuring));
    std::printf("  cells followed, area rule           %.3f ms\n", perFrame(following));
    std::printf("  one --safe trial of a blend          %.3f ms\n", perFrame(trying));
    return 0;
}
