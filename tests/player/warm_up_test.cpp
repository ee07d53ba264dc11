#include "player/warm_up.h"

#include <gtest/gtest.h>

#include <vector>

#include "framework/effect.h"
#include "framework/effect_instance.h"
#include "support/null_render_state.h"

namespace {

class TimedEffect : public Effect {
public:
    std::vector<float> times;
    void draw(RenderState&) override { times.push_back(getTime()); }
};

// A scene at 10..30 whose children's windows are in its own time, and the
// first line-up again later. (No draw watcher sees these draws: the demo
// keeps its watcher for the frames, see DemoTest.)
TEST(WarmUpTest, DrawsEachLineUpOnceInsideItsWindows) {
    NullRenderState renderState;
    TimedEffect a, b;
    EffectInstance root(nullptr, 0, 1000, "root");
    EffectInstance scene(nullptr, 10, 30, "scene");
    EffectInstance first(&a, 0, 10, "first");
    EffectInstance second(&b, 5, 20, "second");
    EffectInstance again(&a, 40, 50, "again");
    scene.addChild(&first);
    scene.addChild(&second);
    root.addChild(&scene);
    root.addChild(&again);

    // {a} at 12.5, {a, b} at 17.5, {b} at 25; {a} at 45 was drawn already.
    EXPECT_EQ(drawEachLineUpOnce(root, renderState, 0.0f, 255.0f), 3);
    EXPECT_EQ(a.times, (std::vector<float>{2.5f, 7.5f}));
    EXPECT_EQ(b.times, (std::vector<float>{2.5f, 10.0f}));
}

}  // namespace
