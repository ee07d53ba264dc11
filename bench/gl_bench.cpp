// GL-side cost of the effects in the rasterizer at hand (llvmpipe here):
// the bundled demo in a hidden 640x480 context, one frame every step
// seconds, each effect's draw bracketed by glFinish and charged to its type,
// against the floor of a frame that only clears and swaps.
// With "cpu" last, draws are charged the main thread's CPU time instead of
// wall time: the driver's own work on this thread, steady under other load.
// With "fragments" last, draws are charged the fragments they produce.
// With "fill" last, the stretch is drawn twice (fragments, then wall time)
// and each type's fragments per second are set against a synthetic peak in
// the same context: sprite clouds of screen-filling sprites, drawn with the
// particle effects' own code and state.
// Usage: gl_bench [demo directory] [step seconds] [first second] [last second] [cpu|fragments|fill]
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "assets/texture.h"
#include "demo_session.h"
#include "effects/material.h"
#include "effects/particle_cloud.h"
#include "effects/scene_object.h"
#include "effects/sprite_material.h"
#include "framework/demo_limits.h"
#include "framework/effect_instance.h"
#include "platform/gl_render_state.h"
#include "player/sync_dispatch.h"
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

void clearFrame(RenderState& rs) {
    rs.setClearColor(Color(0, 0, 0));
    rs.clearColorBuffer();
    rs.clearDepthBuffer();
}

// Fragments and wall time per type over the frames of one stretch, from a
// freshly loaded demo each.
std::vector<FrameCost> drawStretch(RenderState& rs, int firstFrame, int lastFrame, double step,
                                   const DrawTiming& timing) {
    std::unique_ptr<Demo> demo = loadDemo(rs);
    EffectInstance* root = demo->getRoot();
    std::vector<FrameCost> frames;
    uint32_t nextEvent = 0;
    std::vector<EffectInstance*> active;
    for (int frame = 0; frame < lastFrame; ++frame) {
        const float t = static_cast<float>(frame * step);
        dispatchDueSyncEvent(demo->getSyncTrack(), nextEvent, *root, t, active);
        if (frame < firstFrame) continue;
        FrameCost cost;
        clearFrame(rs);
        renderTimed(*root, rs, t, cost, timing);
        swapHeadlessGLBuffers();
        glFinish();
        frames.push_back(cost);
    }
    return frames;
}

// Millions of fragments a second for screen-filling sprites of picture:
// the particle clouds' best case.
double spritePeak(RenderState& rs, const char* picture, int sprites) {
    ParticleCloud cloud(sprites, 10.0f);
    std::unique_ptr<Material> material;
    std::unique_ptr<TextureLayer> layer;
    std::unique_ptr<Texture> texture;
    giveCloudSpriteTexture(rs, DemoLimits{}, cloud, picture, material, layer, texture);
    cloud.setPosition({0.0f, 0.0f, 5.0f});
    cloud.setBrightness(0.5f);
    for (int i = 0; i < sprites; ++i) cloud.setCentre(i, {0.0f, 0.0f, 0.0f});
    double fragments = 0.0, seconds = 0.0;
    for (int frame = 0; frame < 30; ++frame) {
        clearFrame(rs);
        setSceneView(rs);
        glFinish();
        glBeginQuery(GL_SAMPLES_PASSED, fragmentQuery);
        const double start = wallSeconds();
        cloud.draw(rs, 0.0f);
        glFinish();
        if (frame >= 5) seconds += wallSeconds() - start;
        glEndQuery(GL_SAMPLES_PASSED);
        GLuint samples = 0;
        glGetQueryObjectuiv(fragmentQuery, GL_QUERY_RESULT, &samples);
        if (frame >= 5) fragments += samples;
    }
    return fragments / seconds * 1e-6;
}

int fillReport(RenderState& rs, double step, int firstSecond, int lastSecond) {
    const int framesPerSecond = std::max(1, static_cast<int>(1.0 / step + 0.5));
    const int firstFrame = firstSecond * framesPerSecond;
    const int lastFrame = (lastSecond + 1) * framesPerSecond;
    glGenQueries(1, &fragmentQuery);
    glBeginQuery(GL_SAMPLES_PASSED, fragmentQuery);
    const std::vector<FrameCost> fragments = drawStretch(rs, firstFrame, lastFrame, step, {countedFragments, nullptr});
    glEndQuery(GL_SAMPLES_PASSED);
    const std::vector<FrameCost> times = drawStretch(rs, firstFrame, lastFrame, step, {wallSeconds, finish});
    std::printf("fill, seconds %d to %d, %d frames a second: millions of fragments a second\n", firstSecond, lastSecond,
                framesPerSecond);
    std::printf("%-20s %14s %12s %12s\n", "type", "Mfragments", "ms", "Mfrag/s");
    for (int type = 0; type < effectTypeCount; ++type) {
        double f = 0.0, t = 0.0;
        for (std::size_t i = 0; i < fragments.size() && i < times.size(); ++i) {
            f += fragments[i].byType[type];
            t += times[i].byType[type];
        }
        if (t <= 0.0) continue;
        // countedFragments reports millions already.
        std::printf("%-20s %14.3f %12.3f %12.1f\n", effectTypeNames[type], f, t * 1e3, f / t);
    }
    for (int sprites : {1, 8})
        for (const char* picture : {"sprite.tga", "spark.jpg"})
            std::printf("peak: %d screen-filling %s sprites a draw: %.1f Mfrag/s\n", sprites, picture,
                        spritePeak(rs, picture, sprites));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (!enterDemoDirectory(argc > 1 ? argv[1] : nullptr)) return 1;
    const double step = argc > 2 ? std::atof(argv[2]) : 0.1;
    const int firstSecond = argc > 3 ? std::atoi(argv[3]) : 0;
    const int lastSecond = argc > 4 ? std::atoi(argv[4]) : 254;
    if (!openHeadlessGLContext(640, 480)) return 1;
    GlRenderState renderState;
    std::unique_ptr<Demo> demo = loadDemo(renderState);
    EffectInstance* root = demo->getRoot();
    if (root == nullptr) return 1;

    std::vector<double> floor;
    for (int i = 0; i < 200; ++i) {
        const double start = wallSeconds();
        clearFrame(renderState);
        swapHeadlessGLBuffers();
        glFinish();
        floor.push_back(wallSeconds() - start);
    }
    std::sort(floor.begin(), floor.end());

    const std::string mode = argc > 5 ? argv[5] : "";
    if (mode == "fill") return fillReport(renderState, step, firstSecond, lastSecond);
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
            clearFrame(renderState);
            renderTimed(*root, renderState, t, cost, timing);
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
