// Entry point of the browser build. The page calls main once the visitor
// has clicked (browsers start sound only after a gesture) or at once for a
// held moment. The browser owns the loop: one frame per animation frame.
#include <emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/audio_device.h"
#include "platform/events.h"
#include "platform/gles2_render_state.h"
#include "platform/message_box.h"
#include "platform/report.h"
#include "platform/window.h"
#include "player/demo.h"
#include "player/frame_clock.h"
#include "player/frame_loop.h"
#include "player/music.h"
#include "player/sync_catch_up.h"
#include "runtime/command_line.h"
#include "web/page_log.h"

namespace {

Demo* demo = nullptr;
double startTime = 0.0;
FrameClock frameClock;
int frames = 0;
float rateWindowStart = 0.0f;

// Tells the page how the run stands: "playing", "held", "stopped",
// "ended" or "failed".
EM_JS(void, reportToPage, (const char* state), {
    if (Module["onPlayerState"]) Module["onPlayerState"](UTF8ToString(state));
});

void finish(const char* state) {
    emscripten_cancel_main_loop();
    Music::release();
    reportToPage(state);
}

void playFrame() {
    for (;;) {
        const PendingEvent event = takeNextEvent();
        if (event == PendingEvent::Quit) {
            finish("stopped");
            return;
        }
        if (event == PendingEvent::None) break;
    }
    const float t = static_cast<float>(startTime + frameClock.seconds());
    // The page's title shows time and frame rate, as the desktop's window does.
    if (++frames % 32 == 0) {
        frames = 0;
        rateWindowStart = static_cast<float>(frameClock.seconds());
    }
    char title[128];
    formatFrameTitle(title, sizeof title, t, frames, frameClock.seconds(), rateWindowStart);
    setWindowTitle(title);
    demo->drawFrame(t);
    if (demo->hasEnded()) finish("ended");
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
    startTime = options.startTime;
    Music::setStartTime(startTime);
    // A held moment is silent.
    if (paused) audioUseOfflineOutput();

    setRenderState(new Gles2RenderState);
    requestGLES2Contexts(true);
    if (!openWindow(640, 480, false)) {
        reportToPage("failed");
        return 1;
    }
    demo = new Demo("test.dat");
    demo->init();
    demo->catchUpTo(startTime, playStepsPerSecond);
    if (paused) {
        // The effects stand as a run from 0 has them at the start: one
        // frame shows the moment.
        demo->drawFrame(static_cast<float>(startTime));
        Music::release();
        reportToPage(demo->hasEnded() ? "ended" : "held");
        return 0;
    }
    frameClock.start();
    reportToPage("playing");
    emscripten_set_main_loop(playFrame, 0, 0);
    return 0;
}
