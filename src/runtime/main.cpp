// Entry point: the render state, the window, the demo, the frame loop.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "framework/effect_draw_observer.h"
#include "platform/audio_device.h"
#include "platform/gl_render_state.h"
#include "platform/window.h"
#include "runtime/benchmark.h"
#include "runtime/capture.h"
#include "runtime/command_line.h"
#include "runtime/demo_check.h"
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
    CommandLine options = parseCommandLine(argc, argv);
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
    if (options.check) {
        const DemoCheckReport report = checkDemo(options.directory.empty() ? "." : options.directory);
        for (const std::string& line : report.lines) std::printf("%s\n", line.c_str());
        return report.errors > 0 ? 1 : 0;
    }
    if (!options.directory.empty()) {
        // The capture directory is named from where the player was started.
        std::error_code ignored;
        if (!options.captureDirectory.empty())
            options.captureDirectory = std::filesystem::absolute(options.captureDirectory, ignored).string();
        if (chdir(options.directory.c_str()) != 0) {
            std::fprintf(stderr, "quarn2: cannot enter the directory '%s'\n", options.directory.c_str());
            return 2;
        }
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
