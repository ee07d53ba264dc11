#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/demo_limits.h"
#include "framework/effect_registry.h"
#include "framework_test_helpers.h"
#include "player/effect_types.h"
#include "support/null_render_state.h"

namespace {

class EffectRegistryTest : public testing::Test {
protected:
    void SetUp() override {
        for (const std::string& type : effectTypeNames()) {
            registry.registerType(std::make_unique<JournalEffect>(type, &journal));
        }
    }

    std::vector<std::string> journal;
    EffectRegistry registry;
};

TEST_F(EffectRegistryTest, SearchWritesOnePairPerPrototypeUpToTheMatch) {
    std::unique_ptr<Effect> created;
    const Console console = captureConsole([&] { created = registry.createEffect("FxGLUVMap"); });

    ASSERT_NE(created, nullptr);
    EXPECT_EQ(created->typeName(), "FxGLUVMap");
    EXPECT_NE(dynamic_cast<JournalEffect*>(created.get()), nullptr);
    EXPECT_EQ(linesOf(console.out),
              (std::vector<std::string>{"effect 0 : Effect", "name : FxGLUVMap", "effect 1 : FxGLLayerObject",
                                        "name : FxGLUVMap", "effect 2 : FxGLUVMap", "name : FxGLUVMap"}));
    EXPECT_EQ(console.err, "");
}

TEST_F(EffectRegistryTest, PlainEffectIsAlwaysAtIndexZero) {
    std::unique_ptr<Effect> created;
    const Console console = captureConsole([&] { created = registry.createEffect("Effect"); });

    ASSERT_NE(created, nullptr);
    EXPECT_EQ(created->typeName(), "Effect");
    EXPECT_EQ(dynamic_cast<JournalEffect*>(created.get()), nullptr);
    EXPECT_EQ(console.out, "effect 0 : Effect\nname : Effect\n");
}

TEST_F(EffectRegistryTest, UnknownNameWritesEveryPairAndTheError) {
    std::unique_ptr<Effect> created;
    const Console console = captureConsole([&] { created = registry.createEffect("fxgluvmap"); });

    EXPECT_EQ(created, nullptr);
    const auto lines = linesOf(console.out);
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[10], "effect 5 : FxAsmParticles");
    EXPECT_EQ(lines[11], "name : fxgluvmap");
    EXPECT_EQ(console.err, "Effect fxgluvmap could not be created!\n");
}

TEST_F(EffectRegistryTest, EveryCallReturnsAFreshObjectAndTheFirstDuplicateWins) {
    registry.registerType(std::make_unique<JournalEffect>("FxGLUVMap", &journal, "shadowed"));
    std::unique_ptr<Effect> first, second;
    captureConsole([&] {
        first = registry.createEffect("FxGLUVMap");
        second = registry.createEffect("FxGLUVMap");
    });
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first.get(), second.get());
    NullRenderState renderState;
    first->init(renderState, DemoLimits{});
    EXPECT_EQ(journal, (std::vector<std::string>{"init FxGLUVMap"}));
}

}  // namespace
