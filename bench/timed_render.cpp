#include "timed_render.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>

#include "framework/effect.h"
#include "framework/effect_draw_observer.h"
#include "framework/effect_instance.h"

const char* const effectTypeNames[effectTypeCount] = {"FxGLLayerObject", "FxGLUVMap", "FxRenderParametric",
                                                      "FxRenderParticles", "FxAsmParticles"};

double FrameCost::total() const {
    double sum = 0.0;
    for (double d : byType) sum += d;
    return sum;
}

namespace {

int typeIndex(Effect& effect) {
    static std::map<Effect*, int> typeOfEffect;
    auto found = typeOfEffect.find(&effect);
    if (found != typeOfEffect.end()) return found->second;
    const std::string name = effect.typeName();
    int index = -1;
    for (int i = 0; i < effectTypeCount; ++i)
        if (name == effectTypeNames[i]) index = i;
    typeOfEffect[&effect] = index;
    return index;
}

// Charges each draw the instance tree makes to its effect's type.
class DrawTimer : public EffectDrawObserver {
public:
    DrawTimer(FrameCost& cost, const DrawTiming& timing) : cost(cost), timing(timing) {}

    void beforeDraw(Effect&) override {
        if (timing.settle) timing.settle();
        start = timing.clock();
    }
    void afterDraw(Effect& effect) override {
        if (timing.settle) timing.settle();
        const double elapsed = timing.clock() - start;
        if (const int type = typeIndex(effect); type >= 0) cost.byType[type] += elapsed;
    }

private:
    FrameCost& cost;
    const DrawTiming& timing;
    double start = 0.0;
};

}  // namespace

void renderTimed(EffectInstance& root, RenderState& renderState, float t, FrameCost& cost, const DrawTiming& timing) {
    DrawTimer timer(cost, timing);
    root.render(t, renderState, &timer);
}

void printCostSummary(const std::vector<FrameCost>& frames, int firstSecond, int framesPerSecond) {
    const std::size_t first = static_cast<std::size_t>(firstSecond) * framesPerSecond;
    std::printf("%-20s %10s %10s\n", "type", "mean ms", "worst ms");
    for (int type = 0; type < effectTypeCount; ++type) {
        double sum = 0.0, worst = 0.0;
        int used = 0;
        for (std::size_t f = first; f < frames.size(); ++f) {
            const double d = frames[f].byType[type];
            if (d <= 0.0) continue;
            sum += d;
            worst = std::max(worst, d);
            ++used;
        }
        std::printf("%-20s %10.4f %10.4f\n", effectTypeNames[type], used ? sum / used * 1e3 : 0.0, worst * 1e3);
    }

    std::vector<double> totals;
    for (std::size_t f = first; f < frames.size(); ++f) totals.push_back(frames[f].total());
    if (totals.empty()) return;
    std::sort(totals.begin(), totals.end());
    std::printf("all frames: median %.4f ms, p99 %.4f ms\n", totals[totals.size() / 2] * 1e3,
                totals[totals.size() * 99 / 100] * 1e3);

    std::size_t heaviest = first;
    double heaviestMean = -1.0;
    for (std::size_t s = first; s + framesPerSecond <= frames.size(); s += framesPerSecond) {
        double sum = 0.0;
        for (int f = 0; f < framesPerSecond; ++f) sum += frames[s + f].total();
        if (sum / framesPerSecond > heaviestMean) {
            heaviestMean = sum / framesPerSecond;
            heaviest = s;
        }
    }
    std::printf("heaviest second %zu: mean %.4f ms per frame", heaviest / framesPerSecond, heaviestMean * 1e3);
    for (int type = 0; type < effectTypeCount; ++type) {
        double sum = 0.0;
        for (int f = 0; f < framesPerSecond; ++f) sum += frames[heaviest + f].byType[type];
        if (sum > 0.0) std::printf(", %s %.4f", effectTypeNames[type], sum / framesPerSecond * 1e3);
    }
    std::printf("\n");
}
