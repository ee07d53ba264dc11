// Entry point: the render state, the window, the demo, the frame loop. Every
// way the run ends comes back here: Escape, a close request or a signal (as
// a quit request), the demo's end, the end of a capture or benchmark, and a
// missing picture. Only here are the music released, the display restored
// and the status returned.
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "assets/missing_picture.h"
#include "authoring/demo_check.h"
#include "authoring/flash_check.h"
#include "authoring/live_demo.h"
#include "authoring/live_loop.h"
#include "platform/audio_device.h"
#include "platform/events.h"
#include "platform/framebuffer.h"
#include "platform/gl_finish.h"
#include "platform/gl_render_state.h"
#include "platform/gles2_render_state.h"
#include "platform/message_box.h"
#include "platform/player_imports.h"
#include "platform/report.h"
#include "platform/tool_overlay.h"
#include "platform/window.h"
#include "player/demo.h"
#include "player/frame_loop.h"
#include "player/music.h"
#include "recording/benchmark.h"
#include "recording/capture.h"
#include "runtime/command_line.h"

namespace {

// No context: black rather than garbage.
void readBackBuffer(uint8_t* rgba, int width, int height) {
    if (!readFramebufferInto(rgba, 0, 0, width, height))
        std::memset(rgba, 0, static_cast<std::size_t>(width) * height * 4);
}

// What the player takes from the machine: the window, the steady clock,
// the GL and the offline sound mix.
PlayerImports desktopImports() {
    PlayerImports imports;
    imports.takeEvent = takeNextKeyEvent;
    imports.setTitle = setWindowTitle;
    imports.swapBuffers = swapWindowBuffers;
    imports.fullScreen = isFullScreen;
    imports.clockCounter = steadyClockCounter;
    imports.clockFrequency = steadyClockFrequency();
    imports.now = steadySeconds;
    imports.waitForGL = finishGL;
    imports.readFrame = readBackBuffer;
    imports.renderAudio = audioRenderOffline;
    return imports;
}

// The message of a picture that cannot be opened, where the user sees it;
// the run's status.
int reportMissingPicture(const MissingPicture& missing) {
    const std::string message = missingPictureMessage(missing);
    QUARN_REPORT(Error, message);
    // Started from a desktop launcher, nobody would see the line above.
    showErrorDialog(message.substr(0, message.find('\n')).c_str());
    return 1;
}

// Draws the demo until it ends; the status of the run. A capture or
// benchmark completes its files or prints its figures afterwards.
int playDemo(const PlayerImports& imports, RenderState& renderState, Demo& demo, Music& music,
             const FrameTiming& timing, CaptureSession* capture, BenchmarkSession* benchmark) {
    try {
        if (benchmark)
            runBenchmark(imports, renderState, demo, music, timing, *benchmark);
        else
            runFrameLoop(imports, &demo, timing);
    } catch (const MissingPicture& missing) {
        return reportMissingPicture(missing);
    }
    int status = 0;
    if (capture && !capture->finish()) status = 1;
    if (benchmark) {
        QUARN_REPORT(Output, benchmark->finish());
    }
    return status;
}

// Sent on to the window layer, which turns a termination into a quit request.
void hangUpAsTermination(int) { kill(getpid(), SIGTERM); }

// A flash check draws every frame but shows none: the check is for people
// who must not see the flashes, at whatever speed it runs.
void noSwap() {}

// The stretches --safe calms, from the cache beside the demo when it was
// made from the same files over the times asked for, else from a check run
// now (unseen, in fixed steps, without sound) and then kept. False when the
// demo cannot play (status says how it ended) or the check was stopped.
bool findStretchesToCalm(const PlayerImports& imports, RenderState& renderState, const CommandLine& options,
                         std::vector<FlashStretch>& stretches, int& status) {
    // Every window of the play is to be seen whole.
    const double from = std::max(0.0, options.startTime - 1.0);
    const double to = options.untilTime > 0.0 ? options.untilTime : static_cast<double>(demoEndTime);
    FlashCache cache;
    const uint64_t key = demoFilesKey(".");
    if (readFlashCache(flashCacheName, cache) && cache.key == key && cache.from <= from && cache.to >= to) {
        stretches = cache.stretches;
        return true;
    }
    QUARN_REPORTF(Error, "flashes: checking %.2f s to %.2f s before it plays\n", from, to);
    audioUseOfflineOutput();
    Music music;
    music.setStartTime(from);
    FlashCheckSession check(imports, from, flashCheckRate);
    FrameTiming timing;
    timing.startTime = from;
    timing.endTime = to;
    timing.fixedRate = flashCheckRate;
    timing.observer = &check;
    Demo demo("test.dat", music, renderState);
    PlayerImports unseen = imports;
    unseen.swapBuffers = noSwap;
    bool checked = false;
    try {
        checked = runFrameLoop(unseen, &demo, timing);
    } catch (const MissingPicture& missing) {
        status = reportMissingPicture(missing);
    }
    // The play begins with its own music from its own place.
    music.release();
    if (!checked) return false;
    stretches = check.finish();
    cache = FlashCache{key, from, to, stretches};
    if (!writeFlashCache(flashCacheName, cache))
        QUARN_REPORTF(Error, "flashes: cannot keep the result in '%s'\n", flashCacheName);
    return true;
}

// The check's findings on stdout; its status: 1 when any stretch fails.
int reportFlashes(FlashCheckSession& check) {
    const std::vector<FlashStretch> stretches = check.finish();
    for (const FlashStretch& stretch : stretches) QUARN_REPORTF(Output, "%s\n", flashStretchLine(stretch).c_str());
    QUARN_REPORTF(Output, "%s\n", flashSummaryLine(stretches, check.firstTime(), check.lastTime()).c_str());
    return stretches.empty() ? 0 : 1;
}

// The drawable's size --size asks for, the desktop's resolved, checked
// against what the GL can draw before any window opens; 0 when it can be
// had, else the run's status.
int settleSize(CommandLine& options) {
    if (options.desktopSize && !desktopResolution(options.width, options.height)) return 1;
    if (options.width <= 0) return 0;
    const bool odd = options.width % 2 != 0 || options.height % 2 != 0;
    if (odd && captureKindOf(options.captureDirectory) == CaptureKind::video) {
        QUARN_REPORTF(Error,
                      "quarn2: --capture to a video needs an even width and height (yuv420p), not --size %dx%d\n",
                      options.width, options.height);
        return 2;
    }
    const int largest = largestDrawableSide();
    // No GL at all is told when the window cannot open.
    if (largest > 0 && (options.width > largest || options.height > largest)) {
        QUARN_REPORTF(Error, "quarn2: --size %dx%d is larger than this GL can draw: at most %d pixels on a side\n",
                      options.width, options.height, largest);
        return 2;
    }
    return 0;
}

// Live authoring: windowed, and ended only by the user; a broken edit never
// ends it.
int runLive(const PlayerImports& imports, const CommandLine& options) {
    Music music;
    music.setStartTime(options.startTime);
    GlRenderState renderState;
    useRenderStateForViewport(&renderState);
    if (!openWindow(options.width > 0 ? options.width : 640, options.width > 0 ? options.height : 480, false)) return 1;
    // The demo's folder by its path: made anew, it is entered again.
    std::error_code error;
    const std::string folder = std::filesystem::current_path(error).string();
    openToolOverlay();
    LiveDemo demo(music, renderState);
    runLiveLoop(imports, demo, options.startTime, folder);
    closeToolOverlay();
    music.release();
    restoreDisplayMode();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const double processStart = steadySeconds();
    CommandLine options = parseCommandLine(argc, argv);
    if (!options.unknownOption.empty()) {
        QUARN_REPORTF(Error, "quarn2: unknown option '%s'\n%s", options.unknownOption.c_str(), usageText());
        return 2;
    }
    if (!options.error.empty()) {
        QUARN_REPORTF(Error, "quarn2: %s\n%s", options.error.c_str(), usageText());
        return 2;
    }
    if (options.help) {
        QUARN_REPORT(Output, usageText());
        return 0;
    }
    if (const int status = settleSize(options); status != 0) return status;
    if (options.check) {
        const DemoCheckReport report = checkDemo(options.directory.empty() ? "." : options.directory);
        for (const std::string& line : report.lines) QUARN_REPORTF(Output, "%s\n", line.c_str());
        return report.errors > 0 ? 1 : 0;
    }
    if (!options.directory.empty()) {
        // The capture directory is named from where the player was started.
        std::error_code ignored;
        if (!options.captureDirectory.empty())
            options.captureDirectory = std::filesystem::absolute(options.captureDirectory, ignored).string();
        if (chdir(options.directory.c_str()) != 0) {
            QUARN_REPORTF(Error, "quarn2: cannot enter the directory '%s'\n", options.directory.c_str());
            return 2;
        }
    }

    // Progress lines should show up as they happen even when the console is
    // redirected to a file or a pipe.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    const PlayerImports imports = desktopImports();
    if (options.live) return runLive(imports, options);

    // The one the options ask for draws everything.
    GlRenderState fixedFunction;
    Gles2RenderState shaders;
    RenderState& renderState = options.gles2 ? static_cast<RenderState&>(shaders) : fixedFunction;
    // Only one of them exists, and only with its option.
    std::unique_ptr<CaptureSession> capture;
    std::unique_ptr<BenchmarkSession> benchmark;
    std::unique_ptr<FlashCheckSession> flashCheck;
    FrameTiming timing;
    timing.startTime = options.startTime;
    if (options.untilTime > 0.0) timing.endTime = options.untilTime;
    Music music;
    music.setStartTime(options.startTime);
    if (!options.captureDirectory.empty()) {
        capture = std::make_unique<CaptureSession>(imports, options.captureDirectory, options.fps, true,
                                                   options.startTime, readDemoTimes("test.dat").end);
        if (options.width > 0) capture->setFrameSize(options.width, options.height);
        if (!capture->begin()) return 1;
        timing.observer = capture.get();
        // A closed terminal ends the capture as Ctrl-C does, its files
        // complete; the progress lines then go nowhere instead of ending it.
        std::signal(SIGHUP, hangUpAsTermination);
        std::signal(SIGPIPE, SIG_IGN);
    } else if (options.benchmark) {
        benchmark = std::make_unique<BenchmarkSession>(imports, renderState, options.fps, processStart);
        timing.observer = benchmark.get();
    } else if (options.checkFlashes) {
        // A window of its own on any display: nothing is shown in it.
        options.windowed = true;
        options.fps = flashCheckRate;
        flashCheck = std::make_unique<FlashCheckSession>(imports, options.startTime, flashCheckRate,
                                                         isatty(fileno(stderr)) != 0);
        timing.observer = flashCheck.get();
    }
    if (capture || benchmark || flashCheck) {
        // Frames come faster or slower than real time: the music is mixed
        // offline (for the capture) or not at all, never played aloud.
        audioUseOfflineOutput();
        timing.fixedRate = options.fps;
        // Nobody is there to answer a box.
        forbidDialogs();
    }

    if (options.gles2) requestGLES2Contexts(true);
    useRenderStateForViewport(&renderState);
    // A capture or benchmark at a size of its own draws off screen, whatever
    // the screen's size; play draws into a window (or full screen) that size.
    // At the window's own 640x480 the window is kept: a software rasterizer
    // may round a framebuffer object's blending a step differently.
    const bool ownSize = options.width == captureWidth && options.height == captureHeight;
    const bool offScreen = options.width > 0 && !ownSize && (capture || benchmark);
    const bool sizedWindow = options.width > 0 && !offScreen;
    if (!openWindow(sizedWindow ? options.width : captureWidth, sizedWindow ? options.height : captureHeight,
                    !options.windowed))
        return 1;
    // Frames read back (capture, flash check, safe view) or timed at a
    // fixed size: a window resized by hand would move the picture.
    if (capture || benchmark || flashCheck || options.safe) setWindowResizable(false);
    if (offScreen && !drawOffScreen(options.width, options.height)) {
        restoreDisplayMode();
        return 1;
    }

    std::unique_ptr<SafeView> safeView;
    if (options.safe) {
        std::vector<FlashStretch> stretches;
        int status = 0;
        if (!findStretchesToCalm(imports, renderState, options, stretches, status)) {
            restoreDisplayMode();
            return status;
        }
        // The check's pass freed the audio; a capture mixes offline again.
        if (capture) audioUseOfflineOutput();
        safeView = std::make_unique<SafeView>(renderState, imports, std::move(stretches), timing.startTime,
                                              timing.fixedRate, timing.observer);
        timing.observer = safeView.get();
    }
    Demo demo("test.dat", music, renderState);
    PlayerImports shown = imports;
    if (flashCheck) shown.swapBuffers = noSwap;
    int status = playDemo(shown, renderState, demo, music, timing, capture.get(), benchmark.get());
    if (flashCheck && status == 0) status = reportFlashes(*flashCheck);
    if (safeView) QUARN_REPORTF(Error, "flashes: %d frames shown calmed\n", safeView->framesCalmed());
    music.release();
    restoreDisplayMode();
    return status;
}
