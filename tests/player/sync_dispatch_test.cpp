#include "player/sync_dispatch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/effect.h"
#include "framework/effect_instance.h"

namespace {

class ListeningEffect : public Effect {
public:
    void onSyncEvent(std::string name) override { heard.push_back(name); }
    std::vector<std::string> heard;
};

// root 0..100 with children first 0..10 and second 5..50.
class SyncDispatch : public testing::Test {
protected:
    ListeningEffect rootEffect, firstEffect, secondEffect;
    EffectInstance root{&rootEffect, 0.0f, 100.0f, "iDemo"};
    EffectInstance first{&firstEffect, 0.0f, 10.0f, "first"};
    EffectInstance second{&secondEffect, 5.0f, 50.0f, "second"};
    SyncTrack track;
    uint32_t next = 0;
    std::vector<EffectInstance*> active;

    void SetUp() override {
        root.addChild(&first);
        root.addChild(&second);
    }

    std::string frame(float t) {
        testing::internal::CaptureStdout();
        dispatchDueSyncEvent(track, next, root, t, active);
        return testing::internal::GetCapturedStdout();
    }
};

}  // namespace

TEST_F(SyncDispatch, EventsDueTogetherArriveOnConsecutiveFramesInFileOrder) {
    track = {{1.0f, "a", 0}, {1.0f, "b", 0}, {1.0f, "c", 0}, {50.0f, "later", 0}};
    frame(0.99f);
    EXPECT_TRUE(rootEffect.heard.empty());
    frame(1.0f);
    EXPECT_EQ(rootEffect.heard, (std::vector<std::string>{"a"}));
    frame(1.01f);
    frame(1.02f);
    EXPECT_EQ(rootEffect.heard, (std::vector<std::string>{"a", "b", "c"}));
    frame(1.03f);
    EXPECT_EQ(next, 3u);
}

TEST_F(SyncDispatch, AnEventAlreadyLateArrivesOnTheNextFrame) {
    // Not sorted: the second event is overdue once the first is delivered.
    track = {{20.0f, "late-one", 0}, {7.0f, "overdue", 0}};
    frame(19.0f);
    EXPECT_EQ(next, 0u);
    frame(20.5f);
    frame(20.6f);
    EXPECT_EQ(rootEffect.heard, (std::vector<std::string>{"late-one", "overdue"}));
}

TEST_F(SyncDispatch, TargetCountsOnlyInstancesActiveAtDelivery) {
    track = {{7.0f, "pushback", 1}, {7.0f, "zrotate", 2}, {20.0f, "offset", 1}};
    frame(7.0f);
    frame(7.0f);
    // At 20 the first child is over: position 1 is now the second child.
    frame(20.0f);
    EXPECT_EQ(firstEffect.heard, (std::vector<std::string>{"pushback"}));
    EXPECT_EQ(secondEffect.heard, (std::vector<std::string>{"zrotate", "offset"}));
    EXPECT_TRUE(rootEffect.heard.empty());
}

TEST_F(SyncDispatch, TargetsOutsideTheActiveListAreDroppedAndPassed) {
    track = {{1.0f, "spin", 3}, {1.0f, "spin", -1}, {150.0f, "root-gone", 0}, {150.0f, "after", 0}};
    EXPECT_EQ(frame(1.0f), "sync event spin dropped: no active instance 3\n");
    EXPECT_EQ(frame(1.0f), "sync event spin dropped: no active instance -1\n");
    // Outside its window the root is not active, so target 0 is empty too.
    EXPECT_EQ(frame(150.0f), "sync event root-gone dropped: no active instance 0\n");
    EXPECT_EQ(next, 3u);
    EXPECT_TRUE(rootEffect.heard.empty() && firstEffect.heard.empty() && secondEffect.heard.empty());
}

TEST_F(SyncDispatch, AnInstanceWithoutEffectSwallowsTheEventWithAMessage) {
    // A script instance of an unregistered type has no effect.
    EffectInstance orphan{nullptr, 0.0f, 100.0f, "orphan"};
    root.addChild(&orphan);
    track = {{1.0f, "offset", 2}, {1.0f, "offset", 0}};  // root, first, orphan
    EXPECT_EQ(frame(1.0f), "sync event offset dropped: instance 2 has no effect\n");
    EXPECT_EQ(next, 1u);
    frame(1.0f);
    EXPECT_EQ(rootEffect.heard, (std::vector<std::string>{"offset"}));
}
