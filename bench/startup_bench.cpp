// Start-up of the bundled demo in phases, as the player runs them: window,
// sync track, Demo::init (music, script, pictures, objects), first frame.
// Then the heavy parts of init again on their own, for a breakdown.
// Usage: startup_bench [demo directory] [--breakdown]   (needs a display)
#include <GL/gl.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "assets/lwo_reader.h"
#include "assets/texture.h"
#include "demo_session.h"
#include "platform/audio_decoder.h"
#include "platform/audio_device.h"
#include "platform/audio_mixer.h"
#include "platform/gl_render_state.h"
#include "platform/mp3_stream.h"
#include "platform/window.h"

namespace {

void report(const char* phase, double seconds) { std::fprintf(stderr, "%-28s %8.1f ms\n", phase, seconds * 1e3); }

// From the kernel's record of when the process started, in clock ticks.
double secondsSinceExec() {
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // Fields after the command name, which is in parentheses; starttime is
    // field 22, the 20th after it.
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    for (int i = 0; i < 20; ++i) fields >> field;
    double uptime = 0.0;
    std::ifstream("/proc/uptime") >> uptime;
    return uptime - std::stod(field) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

void breakdown() {
    auto start = std::chrono::steady_clock::now();
    audioStreamCreateFile("demomusik.mp3");
    report("  music stream", secondsSince(start));

    std::ifstream file("demomusik.mp3", std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    start = std::chrono::steady_clock::now();
    const std::size_t frames = scanMp3FrameCount(bytes.data(), bytes.size());
    report("  music length scan", secondsSince(start));
    start = std::chrono::steady_clock::now();
    PcmSamples buffer(frames * 2);
    report("  music buffer", secondsSince(start));
    start = std::chrono::steady_clock::now();
    std::vector<int16_t> pcm;
    decodeMp3(bytes.data(), bytes.size(), pcm);
    report("  music decoded whole", secondsSince(start));

    double pictures = 0.0, objects = 0.0;
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        const std::string name = entry.path().filename().string();
        const std::string extension = entry.path().extension().string();
        start = std::chrono::steady_clock::now();
        if (extension == ".tga" || extension == ".jpg") {
            TextureManager manager;
            manager.loadTexture(name, false);
            pictures += secondsSince(start);
        } else if (extension == ".lwo") {
            loadLwoObject(name);
            objects += secondsSince(start);
        }
    }
    report("  every picture once", pictures);
    report("  every object once", objects);
}

}  // namespace

int main(int argc, char** argv) {
    const auto processStart = std::chrono::steady_clock::now();
    if (!enterDemoDirectory(argc > 1 ? argv[1] : nullptr)) return 1;

    auto start = std::chrono::steady_clock::now();
    GlRenderState renderState;
    setRenderState(&renderState);
    openWindow(640, 480, false);
    report("window", secondsSince(start));

    start = std::chrono::steady_clock::now();
    Demo demo("test.dat", benchMusic());
    report("sync track", secondsSince(start));

    start = std::chrono::steady_clock::now();
    demo.init();
    report("Demo::init", secondsSince(start));

    start = std::chrono::steady_clock::now();
    demo.drawFrame(0.0f);
    swapWindowBuffers();
    glFinish();
    report("first frame", secondsSince(start));
    report("total to first frame", secondsSince(processStart));
    report("  since exec (10 ms steps)", secondsSinceExec());
    timespec cpu{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
    report("  CPU of all threads", static_cast<double>(cpu.tv_sec) + static_cast<double>(cpu.tv_nsec) * 1e-9);

    if (argc > 2 && std::string(argv[2]) == "--breakdown") breakdown();
    return 0;
}
