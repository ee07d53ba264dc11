// Entry point of the browser build. The page calls main as soon as the
// player and the demo are loaded: the demo is read and its poster drawn, a
// held frame at a chosen moment, silent. The page's controls then call the
// functions below: play (browsers start sound only after a gesture, and the
// click on play is one), pause, seek. The browser owns the loop: one step
// per animation frame.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/events.h"
#include "platform/gles2_render_state.h"
#include "platform/message_box.h"
#include "platform/player_imports.h"
#include "platform/report.h"
#include "platform/window.h"
#include "player/demo.h"
#include "player/frame_clock.h"
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

// Without a poster moment or a start, the poster is this share of the way
// into the demo: well past its opening, where the picture says what the
// demo is, and as far into a short demo as into a long one.
constexpr double defaultPosterShare = 0.4;

// Tells the page how the run stands: "held" (a frame held: the poster, or
// paused), "playing", "ended", "stopped" or "failed".
EM_JS(void, reportToPage, (const char* state), {
    if (Module["onPlayerState"]) Module["onPlayerState"](UTF8ToString(state));
});

// The demo on the page: its time, which runs with the clock or holds, and
// what the controls do to it. Demo time never leaves 0 to the demo's length.
class PageSession : public FrameTimeSource {
public:
    enum class State { Held, Playing, Ended, Stopped };

    PageSession(Demo& demo, Music& music, double poster, double start)
        : demo(demo),
          music(music),
          length(std::max(demo.getTimes().end, demo.getTimes().fadeOut)),
          poster(std::clamp(poster, 0.0, length)),
          start(std::clamp(start, 0.0, length)),
          base(this->poster) {
        clock.start();
    }

    // After the demo's init: the effects as a run from 0 has them at the
    // poster's moment. The music is placed when play begins.
    void prepare(DemoInterface&) override { demo.seek(static_cast<float>(poster)); }
    // Past the length too: the demo ends on the first frame after its end.
    double frameTime(int, FrameClock&) override { return running(); }

    State state() const { return current; }
    double demoLength() const { return length; }

    // Demo time as the page shows it.
    double now() { return std::min(running(), length); }

    void play() {
        if (current == State::Playing || current == State::Stopped) return;
        // From the poster, play begins at the start; after the end, at 0.
        if (current == State::Ended)
            seek(0.0);
        else if (atPoster && start != poster)
            seek(start);
        atPoster = false;
        // Where the music stood when paused, give or take a device period:
        // placed anew, it starts with the picture.
        demo.placeMusic(static_cast<float>(base));
        music.resume();
        baseClock = clock.seconds();
        current = State::Playing;
        reportToPage("playing");
    }

    void pause() {
        if (current != State::Playing) return;
        base = now();
        music.pause();
        current = State::Held;
        // The held frame is the one at the held time, not the last played.
        drawPending = true;
        reportToPage("held");
    }

    void seek(double t) {
        if (current == State::Stopped || !std::isfinite(t)) return;
        t = std::clamp(t, 0.0, length);
        atPoster = false;
        demo.seek(static_cast<float>(t));
        if (current == State::Playing) {
            demo.placeMusic(static_cast<float>(t));
        } else {
            drawPending = true;
            if (current == State::Ended) {
                current = State::Held;
                reportToPage("held");
            }
        }
        // Counted from after the seek, which may have decoded music.
        base = t;
        baseClock = clock.seconds();
    }

    // The held frame drawn at once (a seek's or a pause's first one with
    // the sync event due then, as the next step would), or again as it
    // was; nothing unless held. The page reads the canvas right after.
    void drawHeld() {
        if (current != State::Held) return;
        const float t = static_cast<float>(base);
        if (drawPending) {
            demo.drawFrame(t);
            drawPending = false;
            if (demo.hasEnded()) reachedEnd();
        } else {
            demo.redrawFrame(t);
        }
    }

    // The frame loop ended the run on its own.
    void reachedEnd() {
        base = length;
        music.pause();
        current = State::Ended;
        reportToPage("ended");
    }

    void stop() {
        current = State::Stopped;
        reportToPage("stopped");
    }

    bool wantsDraw() const { return current == State::Held && drawPending; }

private:
    double running() { return current == State::Playing ? base + clock.seconds() - baseClock : base; }

    Demo& demo;
    Music& music;
    FrameClock clock;
    double length;
    double poster;
    double start;
    // Demo time is base while held, base plus the clock since baseClock while playing.
    double base;
    double baseClock = 0.0;
    State current = State::Held;
    // The poster shows until the viewer plays or seeks.
    bool atPoster = true;
    // The poster's own frame is drawn by main.
    bool drawPending = false;
};

// Everything lives from main until the page goes (a demo until another is
// opened): the browser calls back into it once an animation frame and when
// the viewer uses the controls.
PlayerImports imports;
Music* music = nullptr;
Gles2RenderState* renderState = nullptr;
Demo* demo = nullptr;
PageSession* session = nullptr;
FrameLoop* loop = nullptr;
// What the page asked for: where the poster and play begin.
double posterTime = 0.0, startTime = 0.0;
bool posterGiven = false, startGiven = false;

// The page sizes the canvas to the window; the picture follows it. True when
// the size changed (which clears the canvas).
bool followCanvasSize() {
    static int width = 0, height = 0;
    int nowWidth = 0, nowHeight = 0;
    if (emscripten_get_canvas_element_size("#canvas", &nowWidth, &nowHeight) != EMSCRIPTEN_RESULT_SUCCESS) return false;
    if (nowWidth == width && nowHeight == height) return false;
    width = nowWidth;
    height = nowHeight;
    resizeViewport(width, height);
    return true;
}

void stopRun() {
    emscripten_cancel_main_loop();
    music->release();
    session->stop();
}

// One step of the page an animation frame: while playing, one step of the
// frame loop; while held, the events only, and the held frame drawn when it
// changed or the canvas was cleared.
void pageFrame() {
    const bool resized = followCanvasSize();
    if (session->state() == PageSession::State::Playing) {
        switch (loop->step()) {
        case FrameLoop::Step::Drawn:
            break;
        case FrameLoop::Step::Quit:
            stopRun();
            break;
        case FrameLoop::Step::Ended:
            session->reachedEnd();
            break;
        }
        return;
    }
    for (;;) {
        PlayerKey key = PlayerKey::None;
        const PendingEvent event = imports.takeEvent(key);
        if (event == PendingEvent::Quit) {
            stopRun();
            return;
        }
        if (event == PendingEvent::None) break;
    }
    if (resized || session->wantsDraw()) session->drawHeld();
}

void closeDemo() {
    if (session && session->state() != PageSession::State::Stopped) emscripten_cancel_main_loop();
    delete loop;
    loop = nullptr;
    delete session;
    session = nullptr;
    delete demo;
    demo = nullptr;
    music->release();
}

// Reads the demo in the current directory and holds its poster frame.
void openDemo() {
    demo = new Demo("test.dat", *music, *renderState);
    const double length = std::max(demo->getTimes().end, demo->getTimes().fadeOut);
    // The poster: the moment asked for, else the start, else a share of the way in.
    const double poster = posterGiven ? posterTime : startGiven ? startTime : length * defaultPosterShare;
    session = new PageSession(*demo, *music, poster, startTime);
    loop = new FrameLoop(imports, demo, *session);
    // The demo's init and the poster's sync events, then its frame.
    loop->begin();
    music->pause();
    followCanvasSize();
    demo->drawFrame(static_cast<float>(session->now()));
    if (demo->hasEnded())
        session->reachedEnd();
    else
        reportToPage("held");
    emscripten_set_main_loop(pageFrame, 0, 0);
}

// The whole text a time in seconds, 0 or more.
bool readSeconds(const char* text, double& value) {
    if (text == nullptr || *text == '\0') return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text, &end);
    return errno == 0 && *end == '\0' && std::isfinite(value) && value >= 0.0;
}

}  // namespace

// The page's controls. Each does nothing before a demo is open.
extern "C" {

EMSCRIPTEN_KEEPALIVE void quarn_play() {
    if (session) session->play();
}

EMSCRIPTEN_KEEPALIVE void quarn_pause() {
    if (session) session->pause();
}

// Demo time t in seconds, either way, as a run from 0 has the demo there.
EMSCRIPTEN_KEEPALIVE void quarn_seek(double t) {
    if (session) session->seek(t);
}

EMSCRIPTEN_KEEPALIVE double quarn_time() { return session ? session->now() : 0.0; }

// The demo's length: its end, as its sync file sets it or by default.
EMSCRIPTEN_KEEPALIVE double quarn_length() { return session ? session->demoLength() : 0.0; }

// Draws the held frame now, so that the page can read the canvas before
// the browser shows (and clears) it.
EMSCRIPTEN_KEEPALIVE void quarn_draw_held() {
    if (session) session->drawHeld();
}

// Plays another demo: the one in the current directory, where the page has
// just written a visitor's files. Its poster follows the same rules.
EMSCRIPTEN_KEEPALIVE void quarn_open() {
    if (!demo) return;
    closeDemo();
    openDemo();
}

}  // extern "C"

int main(int argc, char** argv) {
    // For the whole page's life: main returns while the browser runs the frames.
    static ReportSinkScope pageLog(sendReportToPage);
    // A dialog would be a blocking alert(); the page shows the messages.
    forbidDialogs();
    // --poster is the page's own; the rest are the desktop player's options.
    std::vector<const char*> arguments;
    for (int i = 0; i < argc; ++i) {
        if (i > 0 && std::strcmp(argv[i], "--poster") == 0) {
            const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
            if (!readSeconds(value, posterTime)) {
                QUARN_REPORTF(Error, "quarn2: --poster needs a time in seconds, 0 or more, not '%s'\n",
                              value ? value : "");
                reportToPage("failed");
                return 2;
            }
            posterGiven = true;
            ++i;
            continue;
        }
        if (i > 0 && std::strcmp(argv[i], "--start") == 0) startGiven = true;
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
    music = new Music;

    // The browser's loop outlives main: the render state and the demo live
    // as long as the page.
    renderState = new Gles2RenderState;
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
    openDemo();
    return 0;
}
