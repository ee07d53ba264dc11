// Live authoring's two waits, on the bundled demo: a seek of the music to a
// time not yet decoded (how long the seek takes before the new place can be
// heard), and reading the demo again after a script edit (the reload the
// console reports), each as wall time and as CPU time of the main thread;
// what one look at the watched files costs; and the catch-up of the sync
// events that a start or seek near the end makes before its first frame.
// Usage: live_bench [demo directory]   (needs a display)
#include <chrono>
#include <cstdio>

#include "authoring/file_watcher.h"
#include "authoring/live_demo.h"
#include "demo_session.h"
#include "platform/audio_device.h"
#include "platform/gl_render_state.h"
#include "platform/window.h"
#include "player/music.h"

namespace {

void report(const char* what, double wall, double cpu) {
    std::printf("%-34s %8.1f ms wall %8.1f ms CPU\n", what, wall * 1e3, cpu * 1e3);
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
    setRenderState(&renderState);
    openWindow(640, 480, false);
    Music music;
    LiveDemo demo(music);
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
    return 0;
}
