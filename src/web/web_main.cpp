// Entry point of the browser build. The page calls main once the visitor
// has clicked (browsers start sound only after a gesture) or at once for a
// held moment. The browser owns the loop: one frame per animation frame.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/audio_device.h"
#include "platform/events.h"
#include "platform/gles2_render_state.h"
#include "platform/message_box.h"
#include "platform/player_imports.h"
#include "platform/report.h"
#include "platform/window.h"
#include "player/demo.h"
#include "player/frame_loop.h"
#include "player/music.h"
#include "runtime/command_line.h"
#include "web/page_log.h"

namespace {

// What the page's player takes from the browser. The browser shows the
// canvas after each animation frame by itself: a swap has nothing to do.
void showsByItself() {}

PlayerImports browserImports() {
    PlayerImports imports;
    imports.takeEvent = takeNextKeyEvent;
    imports.setTitle = setWindowTitle;
    imports.swapBuffers = showsByItself;
    imports.fullScreen = isFullScreen;
    imports.clockCounter = steadyClockCounter;
    imports.clockFrequency = steadyClockFrequency();
    return imports;
}

// Everything lives from main until the page goes: the browser calls back
// into it once an animation frame.
PlayerImports imports;
Music* music = nullptr;
Demo* demo = nullptr;
ClockTime* clockTime = nullptr;
FrameLoop* loop = nullptr;

// Tells the page how the run stands: "playing", "held", "stopped",
// "ended" or "failed".
EM_JS(void, reportToPage, (const char* state), {
    if (Module["onPlayerState"]) Module["onPlayerState"](UTF8ToString(state));
});

void finish(const char* state) {
    emscripten_cancel_main_loop();
    music->release();
    reportToPage(state);
}

// The page sizes the canvas to the window; the picture follows it.
void followCanvasSize() {
    static int width = 0, height = 0;
    int nowWidth = 0, nowHeight = 0;
    if (emscripten_get_canvas_element_size("#canvas", &nowWidth, &nowHeight) != EMSCRIPTEN_RESULT_SUCCESS) return;
    if (nowWidth == width && nowHeight == height) return;
    width = nowWidth;
    height = nowHeight;
    resizeViewport(width, height);
}

// One step of the frame loop an animation frame.
void playFrame() {
    followCanvasSize();
    switch (loop->step()) {
    case FrameLoop::Step::Drawn:
        break;
    case FrameLoop::Step::Quit:
        finish("stopped");
        break;
    case FrameLoop::Step::Ended:
        finish("ended");
        break;
    }
}

}  // namespace

int main(int argc, char** argv) {
    // For the whole page's life: main returns while the browser runs the frames.
    static ReportSinkScope pageLog(sendReportToPage);
    // A dialog would be a blocking alert(); the page shows the messages.
    forbidDialogs();
    // --paused is the page's own: the rest are the desktop player's options.
    bool paused = false;
    std::vector<const char*> arguments;
    for (int i = 0; i < argc; ++i) {
        if (i > 0 && std::strcmp(argv[i], "--paused") == 0)
            paused = true;
        else
            arguments.push_back(argv[i]);
    }
    const CommandLine options = parseCommandLine(static_cast<int>(arguments.size()), arguments.data());
    if (!options.unknownOption.empty() || !options.error.empty()) {
        if (!options.unknownOption.empty())
            QUARN_REPORTF(Error, "quarn2: unknown option '%s'\n", options.unknownOption.c_str());
        else
            QUARN_REPORTF(Error, "quarn2: %s\n", options.error.c_str());
        reportToPage("failed");
        return 2;
    }
    const double startTime = options.startTime;
    music = new Music;
    music->setStartTime(startTime);
    // A held moment is silent.
    if (paused) audioUseOfflineOutput();

    // The browser's loop outlives main: the render state and the demo live
    // as long as the page.
    auto* renderState = new Gles2RenderState;
    useRenderStateForViewport(renderState);
    requestGLES2Contexts(true);
    // The window is the canvas, at the size the page gave it.
    int canvasWidth = 640, canvasHeight = 480;
    emscripten_get_canvas_element_size("#canvas", &canvasWidth, &canvasHeight);
    if (!openWindow(canvasWidth, canvasHeight, false)) {
        reportToPage("failed");
        return 1;
    }
    imports = browserImports();
    demo = new Demo("test.dat", *music, *renderState);
    clockTime = new ClockTime(startTime);
    loop = new FrameLoop(imports, demo, *clockTime);
    // The demo's init and catching up, then the clock's start.
    loop->begin();
    if (paused) {
        // The effects stand as a run from 0 has them at the start: one
        // frame shows the moment.
        demo->drawFrame(static_cast<float>(startTime));
        music->release();
        reportToPage(demo->hasEnded() ? "ended" : "held");
        return 0;
    }
    reportToPage("playing");
    emscripten_set_main_loop(playFrame, 0, 0);
    return 0;
}
