#include "player/sync_catch_up.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "effects/fx_asm_particles.h"
#include "effects/fx_render_parametric.h"
#include "effects/fx_render_particles.h"
#include "framework/effect.h"
#include "framework/effect_instance.h"
#include "player/frame_loop.h"
#include "player/sync_dispatch.h"

namespace {

class ListeningEffect : public Effect {
public:
    void onSyncEvent(std::string name) override { heard.push_back(name); }
    std::vector<std::string> heard;
};

// Which effect heard what, in order: root, early scene (0..2), late scene
// (from 2).
struct Listeners {
    ListeningEffect rootEffect, earlyEffect, lateEffect;
    EffectInstance root{&rootEffect, 0.0f, 100.0f, "iDemo"};
    EffectInstance early{&earlyEffect, 0.0f, 2.0f, "early"};
    EffectInstance late{&lateEffect, 2.0f, 100.0f, "late"};
    std::vector<EffectInstance*> active;
    uint32_t next = 0;

    Listeners() {
        root.addChild(&early);
        root.addChild(&late);
    }
    std::vector<std::vector<std::string>> heard() const {
        return {rootEffect.heard, earlyEffect.heard, lateEffect.heard};
    }
};

// A burst at 1 s, events out of file order, one at a step boundary that
// float rounding decides, and two owed at the scene change whose position 1
// is another instance by the time they arrive.
const SyncTrack track = {{0.25f, "a", 1},   {1.0f, "b1", 1},   {1.0f, "b2", 1},  {1.0f, "b3", 1},
                         {0.5f, "late", 1}, {1.1f, "edge", 0}, {1.95f, "c1", 1}, {1.95f, "c2", 1},
                         {1.95f, "c3", 1},  {2.3f, "d", 1},    {-1.0f, "e", 0}};

}  // namespace

TEST(SyncCatchUp, EveryStartOnTheGridLeavesTheEffectsAsTheRunFromZeroDoes) {
    for (int rate : {10, 30, 60}) {
        for (int startStep = 0; startStep <= 3 * rate; ++startStep) {
            Listeners continuous, started;
            for (int step = 0; step < startStep; ++step)
                dispatchDueSyncEvent(track, continuous.next, continuous.root, gridStepTime(step, rate),
                                     continuous.active);
            testing::internal::CaptureStdout();
            catchUpSyncEvents(track, started.next, started.root, rate, startStep, started.active);
            testing::internal::GetCapturedStdout();
            ASSERT_EQ(started.heard(), continuous.heard()) << "rate " << rate << ", step " << startStep;
            ASSERT_EQ(started.next, continuous.next) << "rate " << rate << ", step " << startStep;
        }
    }
}

TEST(SyncCatchUp, ARunFromAGridStartUsesTheTimesOfTheRunFromZero) {
    // 0.1 + 2 / 10 is not 3 / 10 in double precision.
    EXPECT_EQ(fixedFrameTime(0.1, 10, 2), fixedFrameTime(0.0, 10, 3));
    for (double start : {0.1, 25.3, 110.0, 253.7})
        for (int frame = 0; frame < 60; ++frame)
            ASSERT_EQ(fixedFrameTime(start, 10, frame), fixedFrameTime(0.0, 10, firstStepFrom(start, 10) + frame))
                << start << " + " << frame;
    // Off the grid, the steps run from the start as given.
    EXPECT_EQ(fixedFrameTime(0.05, 10, 1), 0.05 + 0.1);
    EXPECT_EQ(firstStepFrom(25.3, 10), 253);
    EXPECT_EQ(firstStepFrom(0.05, 10), 1);
}

TEST(SyncCatchUp, ClearingTheTreeUndoesEveryEventOfEveryEffectInIt) {
    FxRenderParametric parametric;
    FxRenderParticles particles;
    FxAsmParticles asmParticles;
    EffectInstance root{nullptr, 0.0f, 100.0f, "iDemo"};
    EffectInstance scene{&parametric, 0.0f, 10.0f, "scene"};
    // Outside its window at any time: cleared all the same.
    EffectInstance later{&particles, 50.0f, 60.0f, "later"};
    EffectInstance shared{&asmParticles, 0.0f, 100.0f, "shared"};
    root.addChild(&scene);
    root.addChild(&later);
    scene.addChild(&shared);
    later.addChild(&shared);
    parametric.onSyncEvent("pushback");
    parametric.onSyncEvent("offset");
    particles.onSyncEvent("offset");
    asmParticles.onSyncEvent("zrotate");
    clearSyncStateOfTree(root);
    EXPECT_EQ(parametric.getEyeShift(), 0.0f);
    EXPECT_EQ(parametric.getSpin(), 0.0f);
    EXPECT_EQ(particles.getSyncOffset(), 0.0f);
    EXPECT_EQ(asmParticles.getZrotateCount(), 0.0f);
}
