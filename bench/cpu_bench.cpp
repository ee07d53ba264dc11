// CPU cost of the effects' draws outside GL: the bundled demo stepped at
// 60 frames a second against a render state that does nothing (and no GL
// context, so direct GL calls are no-ops), with each effect's draw timed
// and charged to its type. Times are the thread's CPU time, so other load
// on the machine does not count.
// Usage: cpu_bench [demo directory] [first second] [last second]
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "demo_session.h"
#include "framework/effect_instance.h"
#include "player/sync_dispatch.h"
#include "support/null_render_state.h"
#include "timed_render.h"

int main(int argc, char** argv) {
    if (!enterDemoDirectory(argc > 1 ? argv[1] : nullptr)) return 1;
    const int firstSecond = argc > 2 ? std::atoi(argv[2]) : 0;
    const int lastSecond = argc > 3 ? std::atoi(argv[3]) : 254;
    NullRenderState renderState;
    std::unique_ptr<Demo> demo = loadDemo(renderState);
    EffectInstance* root = demo->getRoot();
    if (root == nullptr) return 1;

    const DrawTiming timing{threadCpuSeconds, nullptr};
    uint32_t nextEvent = 0;
    std::vector<EffectInstance*> active;
    std::vector<FrameCost> frames;
    constexpr int framesPerSecond = 60;
    for (int frame = 0; frame < (lastSecond + 1) * framesPerSecond; ++frame) {
        const float t = static_cast<float>(frame) / framesPerSecond;
        dispatchDueSyncEvent(demo->getSyncTrack(), nextEvent, *root, t, active);
        FrameCost cost;
        if (frame >= firstSecond * framesPerSecond) renderTimed(*root, renderState, t, cost, timing);
        frames.push_back(cost);
    }
    std::fflush(stdout);
    std::printf("CPU time of the effects' draws, null render state\n");
    printCostSummary(frames, firstSecond, framesPerSecond);
    return 0;
}
