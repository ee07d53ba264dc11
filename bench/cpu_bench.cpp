// CPU cost of the effects' draws outside GL: the bundled demo stepped at
// 60 frames a second against a render state that does nothing (and no GL
// context, so direct GL calls are no-ops), with each effect's draw timed
// and charged to its type. Prints, per type, the mean and worst draw per
// frame, and the heaviest second of the demo with its breakdown. Times are
// the thread's CPU time, so other load on the machine does not count.
// Usage: cpu_bench [demo directory] [first second] [last second]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "demo_session.h"
#include "framework/effect.h"
#include "framework/effect_instance.h"
#include "runtime/sync_dispatch.h"
#include "support/null_render_state.h"

namespace {

constexpr int typeCount = 5;
const char* const typeNames[typeCount] = {"FxGLLayerObject", "FxGLUVMap", "FxRenderParametric",
                                          "FxRenderParticles", "FxAsmParticles"};

struct FrameCost {
    double byType[typeCount] = {};
    double total() const {
        double sum = 0.0;
        for (double d : byType) sum += d;
        return sum;
    }
};

std::map<Effect*, int> typeOfEffect;

int typeIndex(Effect* effect) {
    auto found = typeOfEffect.find(effect);
    if (found != typeOfEffect.end()) return found->second;
    const std::string name = effect->typeName();
    int index = -1;
    for (int i = 0; i < typeCount; ++i)
        if (name == typeNames[i]) index = i;
    typeOfEffect[effect] = index;
    return index;
}

// EffectInstance::render with every effect draw timed.
void renderTimed(EffectInstance& instance, float t, FrameCost& cost) {
    const float local = t - instance.getStart();
    for (EffectInstance* child : instance.getChildren())
        if (inRange(child->getStart(), local, child->getEnd())) renderTimed(*child, local, cost);
    Effect* effect = instance.getEffect();
    if (effect == nullptr) return;
    const int type = typeIndex(effect);
    effect->setWindow(instance.getStart(), instance.getEnd());
    effect->setTime(local);
    const double start = threadCpuSeconds();
    effect->draw();
    if (type >= 0) cost.byType[type] += threadCpuSeconds() - start;
}

}  // namespace

int main(int argc, char** argv) {
    if (!enterDemoDirectory(argc > 1 ? argv[1] : nullptr)) return 1;
    const int firstSecond = argc > 2 ? std::atoi(argv[2]) : 0;
    const int lastSecond = argc > 3 ? std::atoi(argv[3]) : 254;
    setRenderState(new NullRenderState);
    std::unique_ptr<Demo> demo = loadDemo();
    EffectInstance* root = demo->getRoot();
    if (root == nullptr) return 1;

    const SyncTrack& track = demo->getSyncTrack();
    uint32_t nextEvent = 0;
    std::vector<EffectInstance*> active;
    std::vector<FrameCost> frames;
    constexpr int framesPerSecond = 60;
    for (int frame = 0; frame < (lastSecond + 1) * framesPerSecond; ++frame) {
        const float t = static_cast<float>(frame) / framesPerSecond;
        dispatchDueSyncEvent(track, nextEvent, *root, t, active);
        FrameCost cost;
        if (frame >= firstSecond * framesPerSecond) renderTimed(*root, t, cost);
        frames.push_back(cost);
    }

    std::fprintf(stderr, "%-20s %10s %10s\n", "type", "mean ms", "worst ms");
    for (int type = 0; type < typeCount; ++type) {
        double sum = 0.0, worst = 0.0;
        int used = 0;
        for (const FrameCost& cost : frames) {
            if (cost.byType[type] <= 0.0) continue;
            sum += cost.byType[type];
            worst = std::max(worst, cost.byType[type]);
            ++used;
        }
        std::fprintf(stderr, "%-20s %10.4f %10.4f\n", typeNames[type], used ? sum / used * 1e3 : 0.0, worst * 1e3);
    }

    int heaviest = firstSecond;
    double heaviestMean = 0.0;
    std::vector<double> totals;
    for (int second = firstSecond; second <= lastSecond; ++second) {
        double sum = 0.0;
        for (int f = 0; f < framesPerSecond; ++f) sum += frames[second * framesPerSecond + f].total();
        if (sum / framesPerSecond > heaviestMean) {
            heaviestMean = sum / framesPerSecond;
            heaviest = second;
        }
    }
    for (std::size_t f = firstSecond * framesPerSecond; f < frames.size(); ++f) totals.push_back(frames[f].total());
    std::sort(totals.begin(), totals.end());
    std::fprintf(stderr, "all frames: median %.4f ms, p99 %.4f ms\n", totals[totals.size() / 2] * 1e3,
                 totals[totals.size() * 99 / 100] * 1e3);
    std::fprintf(stderr, "heaviest second %d: mean %.4f ms per frame", heaviest, heaviestMean * 1e3);
    for (int type = 0; type < typeCount; ++type) {
        double sum = 0.0;
        for (int f = 0; f < framesPerSecond; ++f) sum += frames[heaviest * framesPerSecond + f].byType[type];
        if (sum > 0.0) std::fprintf(stderr, ", %s %.4f", typeNames[type], sum / framesPerSecond * 1e3);
    }
    std::fprintf(stderr, "\n");
    return 0;
}
