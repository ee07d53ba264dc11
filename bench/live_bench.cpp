// Live authoring's two waits, on the bundled demo: a seek of the music to a
// time not yet decoded (how long the seek takes before the new place can be
// heard), and reading the demo again after a script edit (the reload the
// console reports), each as wall time and as CPU time of the main thread;
// what one look at the watched files costs; the catch-up of the sync
// events that a start or seek near the end makes before its first frame;
// and what the timeline overlay adds to a frame when shown.
// Usage: live_bench [demo directory]   (needs a display)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "authoring/file_watcher.h"
#include "authoring/live_demo.h"
#include "authoring/timeline_overlay.h"
#include "demo_session.h"
#include "platform/audio_device.h"
#include "platform/gl_finish.h"
#include "platform/gl_render_state.h"
#include "platform/tool_overlay.h"
#include "platform/window.h"
#include "player/music.h"

namespace {

void report(const char* what, double wall, double cpu) {
    std::printf("%-34s %8.1f ms wall %8.1f ms CPU\n", what, wall * 1e3, cpu * 1e3);
}

struct OverlayCost {
    double wall = 0.0, worst = 0.0, cpu = 0.0, floor = 0.0;  // seconds a frame
};

// Frames from t on, the GL finished before and after the tools so that
// their own drawing is what is timed; the same span without them gives the
// floor the timer and the finish cost.
OverlayCost timeTools(LiveDemo& demo, TimelineOverlay& timeline, const std::vector<OverlayLine>& lines, float t) {
    constexpr int frames = 200;
    OverlayCost cost;
    demo.seek(t, t);
    for (int i = 0; i < frames; ++i) {
        const float now = t + i / 60.0f;
        demo.drawFrame(now);
        finishGL();
        auto start = std::chrono::steady_clock::now();
        const double cpu = threadCpuSeconds();
        drawLiveTools(timeline, lines, demo, now);
        finishGL();
        const double wall = secondsSince(start);
        cost.cpu += threadCpuSeconds() - cpu;
        cost.wall += wall;
        cost.worst = std::max(cost.worst, wall);
        start = std::chrono::steady_clock::now();
        finishGL();
        cost.floor += secondsSince(start);
        swapWindowBuffers();
    }
    cost.wall /= frames;
    cost.cpu /= frames;
    cost.floor /= frames;
    return cost;
}

void printCost(const char* what, float t, const OverlayCost& cost) {
    std::printf("%s at %5.1f s: %.3f ms wall (worst %.3f) %.3f ms CPU a frame; floor %.3f ms\n", what,
                static_cast<double>(t), cost.wall * 1e3, cost.worst * 1e3, cost.cpu * 1e3, cost.floor * 1e3);
}

// The timeline at a few places of the demo and, for scale, --check's list
// of one line alone (what live mode drew before the timeline).
void measureTimeline(LiveDemo& demo) {
    openToolOverlay();
    TimelineOverlay timeline;
    timeline.demoRead(demo, true);
    const std::vector<OverlayLine> noLines;
    const std::vector<OverlayLine> oneLine{{"test.dat:1: warning: an example of one line of the list"}};
    printCost("list of one line", 62.0f, timeTools(demo, timeline, oneLine, 62.0f));
    timeline.handleKey(PlayerKey::Tab, 0.0, demo);
    // The waveform is decoded on its own thread; the first frames show it
    // missing, which costs less.
    const auto waveStart = std::chrono::steady_clock::now();
    while (secondsSince(waveStart) < 5.0) {
        finishGL();
        drawLiveTools(timeline, noLines, demo, 1.0);
        swapWindowBuffers();
    }
    for (const float t : {5.0f, 62.0f, 110.0f, 200.0f})
        printCost("timeline shown", t, timeTools(demo, timeline, noLines, t));
    closeToolOverlay();
}

}  // namespace

int main(int argc, char** argv) {
    if (!enterDemoDirectory(argc > 1 ? argv[1] : nullptr)) return 1;

    // Each seek on a fresh stream, so that nothing before it is decoded.
    audioUseOfflineOutput();
    audioInit(-1, 44100);
    const double musicSeconds =
        static_cast<double>(audioStreamGetLength(audioStreamCreateFile("demomusik.mp3"))) / 4 / 44100;
    std::printf("the music lasts %.1f s; later times wrap\n", musicSeconds);
    for (const double seconds : {1.0, 10.0, 30.0, musicSeconds - 2.0}) {
        const uint32_t stream = audioStreamCreateFile("demomusik.mp3");
        const auto start = std::chrono::steady_clock::now();
        const double cpu = threadCpuSeconds();
        audioChannelSetPosition(stream, static_cast<uint64_t>(seconds * 44100) * 4);
        char label[64];
        std::snprintf(label, sizeof label, "seek from 0 to %.0f s", seconds);
        report(label, secondsSince(start), threadCpuSeconds() - cpu);
    }
    audioFree();

    GlRenderState renderState;
    openWindow(640, 480, false);
    Music music;
    LiveDemo demo(music, renderState);
    demo.init();
    FileWatcher watcher;
    watcher.watch(demo.watchedFiles());
    const auto pollStart = std::chrono::steady_clock::now();
    const double pollCpu = threadCpuSeconds();
    constexpr int polls = 1000;
    for (int i = 0; i < polls; ++i) watcher.poll();
    std::printf("one poll of the %zu watched files: %.1f us wall %.1f us CPU (ten a second while playing)\n",
                demo.watchedFiles().size(), secondsSince(pollStart) / polls * 1e6,
                (threadCpuSeconds() - pollCpu) / polls * 1e6);
    for (int i = 0; i < 5; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const double cpu = threadCpuSeconds();
        demo.reload({"iDemo.dat"}, 100.0f);
        report("reload after a script edit", secondsSince(start), threadCpuSeconds() - cpu);
    }
    for (const int stepsPerSecond : {60, 240}) {
        const auto start = std::chrono::steady_clock::now();
        const double cpu = threadCpuSeconds();
        demo.catchUpTo(254.0, stepsPerSecond);
        std::printf("catch-up to 254 s at %d steps a second: %.1f us wall %.1f us CPU\n", stepsPerSecond,
                    secondsSince(start) * 1e6, (threadCpuSeconds() - cpu) * 1e6);
    }
    measureTimeline(demo);
    return 0;
}
