#include "player/warm_up.h"

#include <algorithm>
#include <set>
#include <vector>

#include "framework/effect_instance.h"
#include "platform/render_state.h"

namespace {

// The demo times at which instance (whose parent's local time 0 is at
// parentZero) and those below it start and end.
void collectBoundaries(const EffectInstance& instance, double parentZero, int depth, std::vector<double>& out) {
    // A script cannot nest deeper than it has instances; this guards a walk
    // of shared children from growing without end.
    if (depth > 512) return;
    const double zero = parentZero + instance.getStart();
    out.push_back(zero);
    out.push_back(parentZero + instance.getEnd());
    for (const EffectInstance* child : instance.getChildren()) collectBoundaries(*child, zero, depth + 1, out);
}

}  // namespace

int drawEachLineUpOnce(EffectInstance& root, RenderState& renderState, float from, float until) {
    if (!(from <= until)) return 0;

    std::vector<double> boundaries{from, until};
    // The root's own window is in demo time already.
    collectBoundaries(root, 0.0, 0, boundaries);
    std::sort(boundaries.begin(), boundaries.end());
    boundaries.erase(std::unique(boundaries.begin(), boundaries.end()), boundaries.end());

    renderState.beginHiddenDraws();
    std::set<std::vector<const Effect*>> drawn;
    std::vector<EffectInstance*> active;
    int moments = 0;
    for (std::size_t i = 0; i + 1 < boundaries.size(); ++i) {
        // Between two boundaries the line-up stays the same.
        const float t = static_cast<float>((boundaries[i] + boundaries[i + 1]) * 0.5);
        if (t < from || t > until) continue;
        active.clear();
        root.collectActive(t, active);
        std::vector<const Effect*> lineUp;
        for (const EffectInstance* instance : active)
            if (instance->getEffect()) lineUp.push_back(instance->getEffect());
        if (lineUp.empty() || !drawn.insert(lineUp).second) continue;
        root.render(t, renderState);
        ++moments;
    }
    renderState.endHiddenDraws();
    return moments;
}
