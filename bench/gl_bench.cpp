// GL-side cost of the effects in the rasterizer at hand (llvmpipe here):
// the bundled demo in a hidden 640x480 context, one frame every step
// seconds, each effect's draw bracketed by glFinish and charged to its type,
// against the floor of a frame that only clears and swaps.
// With "cpu" last, draws are charged the main thread's CPU time instead of
// wall time: the driver's own work on this thread, steady under other load.
// With "fragments" last, draws are charged the fragments they produce.
// Usage: gl_bench [demo directory] [step seconds] [first second] [last second] [cpu|fragments]
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "demo_session.h"
#include "framework/effect_instance.h"
#include "platform/gl_render_state.h"
#include "runtime/sync_dispatch.h"
#include "support/headless_gl.h"
#include "timed_render.h"

namespace {

double wallSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void finish() { glFinish(); }

// Fragments that passed the depth test, per effect type: the fill work a
// software rasterizer must do.
double fragmentsCounted = 0.0;
GLuint fragmentQuery = 0;

double countedFragments() {
    glEndQuery(GL_SAMPLES_PASSED);
    GLuint samples = 0;
    glGetQueryObjectuiv(fragmentQuery, GL_QUERY_RESULT, &samples);
    fragmentsCounted += samples;
    glBeginQuery(GL_SAMPLES_PASSED, fragmentQuery);
    return fragmentsCounted * 1e-6;  // printed in thousands
}

void clearFrame() {
    RenderState* rs = getRenderState();
    rs->setClearColor(Color(0, 0, 0));
    rs->clearColorBuffer();
    rs->clearDepthBuffer();
}

}  // namespace

int main(int argc, char** argv) {
    if (!enterDemoDirectory(argc > 1 ? argv[1] : nullptr)) return 1;
    const double step = argc > 2 ? std::atof(argv[2]) : 0.1;
    const int firstSecond = argc > 3 ? std::atoi(argv[3]) : 0;
    const int lastSecond = argc > 4 ? std::atoi(argv[4]) : 254;
    if (!openHeadlessGLContext(640, 480)) return 1;
    GlRenderState renderState;
    setRenderState(&renderState);
    std::unique_ptr<Demo> demo = loadDemo();
    EffectInstance* root = demo->getRoot();
    if (root == nullptr) return 1;

    std::vector<double> floor;
    for (int i = 0; i < 200; ++i) {
        const double start = wallSeconds();
        clearFrame();
        swapHeadlessGLBuffers();
        glFinish();
        floor.push_back(wallSeconds() - start);
    }
    std::sort(floor.begin(), floor.end());

    const std::string mode = argc > 5 ? argv[5] : "";
    const bool cpuClock = mode == "cpu";
    DrawTiming timing{cpuClock ? threadCpuSeconds : wallSeconds, finish};
    if (mode == "fragments") {
        glGenQueries(1, &fragmentQuery);
        glBeginQuery(GL_SAMPLES_PASSED, fragmentQuery);
        timing = {countedFragments, nullptr};
    }
    uint32_t nextEvent = 0;
    std::vector<EffectInstance*> active;
    std::vector<FrameCost> frames;
    std::vector<double> whole;
    const int framesPerSecond = std::max(1, static_cast<int>(1.0 / step + 0.5));
    for (int frame = 0; frame < (lastSecond + 1) * framesPerSecond; ++frame) {
        const float t = static_cast<float>(frame * step);
        dispatchDueSyncEvent(demo->getSyncTrack(), nextEvent, *root, t, active);
        FrameCost cost;
        if (frame >= firstSecond * framesPerSecond) {
            const double start = wallSeconds();
            clearFrame();
            renderTimed(*root, t, cost, timing);
            swapHeadlessGLBuffers();
            glFinish();
            whole.push_back(wallSeconds() - start);
        }
        frames.push_back(cost);
    }
    std::sort(whole.begin(), whole.end());
    std::fflush(stdout);
    std::printf("GL draws bracketed by glFinish, %d frames a demo second, %s\n", framesPerSecond,
                cpuClock              ? "main-thread CPU time"
                : mode == "fragments" ? "thousands of fragments (as ms)"
                                      : "wall time");
    printCostSummary(frames, firstSecond, framesPerSecond);
    std::printf("floor (clear and swap): median %.3f ms; whole frames: median %.3f ms (%.2f x floor), p99 %.3f ms\n",
                floor[floor.size() / 2] * 1e3, whole[whole.size() / 2] * 1e3,
                whole[whole.size() / 2] / floor[floor.size() / 2], whole[whole.size() * 99 / 100] * 1e3);
    return 0;
}
