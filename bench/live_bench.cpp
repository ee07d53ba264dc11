// Live authoring's two waits, on the bundled demo: a seek of the music to a
// time not yet decoded (how long the seek takes before the new place can be
// heard), and reading the demo again after a script edit (the reload the
// console reports), each as wall time and as CPU time of the main thread.
// Usage: live_bench [demo directory]   (needs a display)
#include <chrono>
#include <cstdio>

#include "demo_session.h"
#include "platform/audio_device.h"
#include "platform/gl_render_state.h"
#include "platform/window.h"
#include "runtime/live_demo.h"

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
    for (const double seconds : {1.0, 10.0, 60.0, 122.0, 250.0}) {
        const uint32_t stream = audioStreamCreateFile("demomusik.mp3");
        const auto start = std::chrono::steady_clock::now();
        const double cpu = threadCpuSeconds();
        audioChannelSetPosition(stream, static_cast<uint64_t>(seconds * 44100) * 4);
        char label[64];
        std::snprintf(label, sizeof label, "seek from 0 to %.0f s", seconds);
        report(label, secondsSince(start), threadCpuSeconds() - cpu);
    }
    audioFree();

    setRenderState(new GlRenderState);
    openWindow(640, 480, false);
    LiveDemo demo;
    demo.init();
    for (int i = 0; i < 5; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const double cpu = threadCpuSeconds();
        demo.reload({"iDemo.dat"}, 100.0f);
        report("reload after a script edit", secondsSince(start), threadCpuSeconds() - cpu);
    }
    return 0;
}
