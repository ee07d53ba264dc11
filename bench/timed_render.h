#pragma once
// The instance tree's render with every effect draw timed, through the draw
// watcher, and charged to its effect type; plus the summaries the measuring
// programs print.
#include <vector>

class EffectInstance;
class RenderState;

constexpr int effectTypeCount = 5;
extern const char* const effectTypeNames[effectTypeCount];

struct FrameCost {
    double byType[effectTypeCount] = {};
    double total() const;
};

// clock reads seconds; settle (may be null) runs before each reading, e.g.
// glFinish so that a draw's GL work is charged to it.
struct DrawTiming {
    double (*clock)();
    void (*settle)();
};

void renderTimed(EffectInstance& root, RenderState& renderState, float t, FrameCost& cost, const DrawTiming& timing);

// Per type: mean over the frames it drew in, and worst. Then the heaviest
// second (of 60 frames each, from firstSecond on) with its breakdown.
void printCostSummary(const std::vector<FrameCost>& frames, int firstSecond, int framesPerSecond);
