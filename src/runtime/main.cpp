// Entry point: the render state, the window, the demo, the frame loop.
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "framework/effect_draw_observer.h"
#include "platform/audio_device.h"
#include "platform/gl_render_state.h"
#include "platform/window.h"
#include "runtime/benchmark.h"
#include "runtime/capture.h"
#include "runtime/command_line.h"
#include "runtime/demo.h"
#include "runtime/demo_interface.h"
#include "runtime/frame_loop.h"
#include "runtime/music.h"

namespace {

// Only one of them exists, and only with its option.
std::unique_ptr<CaptureSession> capture;
std::unique_ptr<BenchmarkSession> benchmark;

// The end of a capture or benchmark run, however it ends: the files are
// completed or the figures printed before the process goes.
[[noreturn]] void endMeasuredRun() {
    int status = 0;
    if (capture && !capture->finish()) status = 1;
    if (benchmark) {
        setEffectDrawObserver(nullptr);
        std::fputs(benchmark->finish().c_str(), stdout);
    }
    Music::release();
    restoreDisplayMode();
    std::exit(status);
}

}  // namespace

int main(int argc, char** argv) {
    const double processStart = steadySeconds();
    const CommandLine options = parseCommandLine(argc, argv);
    if (!options.unknownOption.empty()) {
        std::fprintf(stderr, "quarn2: unknown option '%s'\n%s", options.unknownOption.c_str(), usageText());
        return 2;
    }
    if (!options.error.empty()) {
        std::fprintf(stderr, "quarn2: %s\n%s", options.error.c_str(), usageText());
        return 2;
    }
    if (options.help) {
        std::fputs(usageText(), stdout);
        return 0;
    }

    // Progress lines should show up as they happen even when the console is
    // redirected to a file or a pipe.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    FrameTiming timing;
    timing.startTime = options.startTime;
    Music::setStartTime(options.startTime);
    if (!options.captureDirectory.empty()) {
        capture = std::make_unique<CaptureSession>(options.captureDirectory, options.fps);
        if (!capture->begin()) return 1;
        timing.observer = capture.get();
    } else if (options.benchmark) {
        benchmark = std::make_unique<BenchmarkSession>(options.fps, processStart);
        timing.observer = benchmark.get();
        setEffectDrawObserver(benchmark.get());
    }
    const bool measured = timing.observer != nullptr;
    if (measured) {
        // Frames come faster or slower than real time: the music is mixed
        // offline (for the capture) or not at all, never played aloud.
        audioUseOfflineOutput();
        timing.fixedRate = options.fps;
    }

    setRenderState(new GlRenderState);
    openWindow(640, 480, !options.windowed);
    // Lives until the process ends: the frame loop and the exit path use it.
    setDemo(measured ? new Demo("test.dat", endMeasuredRun) : new Demo("test.dat"));
    runFrameLoop(FrameLoopPlatform{}, timing);
    if (measured) endMeasuredRun();
    shutdown();
}
