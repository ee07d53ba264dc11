#include "player/sync_catch_up.h"

#include <cmath>
#include <limits>

#include "framework/effect.h"
#include "framework/effect_instance.h"
#include "player/sync_dispatch.h"

namespace {

constexpr int64_t never = std::numeric_limits<int64_t>::max();
// Steps closer than this to a time count as at it: a decimal --start
// such as 25.3 is the nearest double to 253 / 10, not always that quotient.
constexpr double onStep = 1e-9;

// The first step whose time, compared as the delivery compares it, has
// reached time.
int64_t firstStepReaching(float time, int rate) {
    if (!(time > 0.0f)) return std::isnan(time) ? never : 0;
    // Past any demo, and beyond what a step count holds: never reached.
    if (time > 1e12f) return never;
    int64_t step = static_cast<int64_t>(std::floor(static_cast<double>(time) * rate));
    while (step > 0 && gridStepTime(step - 1, rate) >= time) --step;
    while (gridStepTime(step, rate) < time) ++step;
    return step;
}

void clearSubtree(EffectInstance& instance) {
    if (Effect* effect = instance.getEffect()) effect->clearSyncState();
    for (EffectInstance* child : instance.getChildren()) clearSubtree(*child);
}

}  // namespace

float gridStepTime(int64_t step, int rate) { return static_cast<float>(static_cast<double>(step) / rate); }

int64_t firstStepFrom(double t, int rate) {
    if (!(t > 0.0)) return 0;
    int64_t step = std::llround(t * rate);
    while (step > 0 && static_cast<double>(step - 1) / rate >= t - onStep) --step;
    while (static_cast<double>(step) / rate < t - onStep) ++step;
    return step;
}

void catchUpSyncEvents(const SyncTrack& track, uint32_t& next, EffectInstance& root, int rate, int64_t endStep,
                       std::vector<EffectInstance*>& active) {
    next = 0;
    int64_t step = 0;
    while (next < track.size()) {
        const int64_t reached = firstStepReaching(track[next].time, rate);
        const int64_t deliveredAt = reached > step ? reached : step;
        if (deliveredAt >= endStep) return;
        dispatchDueSyncEvent(track, next, root, gridStepTime(deliveredAt, rate), active);
        step = deliveredAt + 1;
    }
}

void clearSyncStateOfTree(EffectInstance& root) { clearSubtree(root); }
