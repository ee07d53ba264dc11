#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/effect_instance.h"
#include "framework_test_helpers.h"
#include "support/null_render_state.h"

namespace {

using Lines = std::vector<std::string>;

class EffectInstanceTest : public testing::Test {
protected:
    Lines drawsAt(EffectInstance& root, float t) {
        journal.clear();
        NullRenderState renderState;
        root.render(t, renderState);
        return journal;
    }

    static Lines namesOf(const std::vector<EffectInstance*>& instances) {
        Lines names;
        for (const EffectInstance* instance : instances) names.push_back(instance->getName());
        return names;
    }

    Lines journal;
    JournalEffect rootEffect{"Effect", &journal, "root"};
    JournalEffect childEffect{"Effect", &journal, "child"};
    JournalEffect grandchildEffect{"Effect", &journal, "grandchild"};
};

TEST_F(EffectInstanceTest, ChildWindowIncludesBothBoundsAndShiftsTime) {
    EffectInstance root(&rootEffect, 0, 1000, "root");
    EffectInstance child(&childEffect, 10, 40, "child");
    root.addChild(&child);

    EXPECT_EQ(drawsAt(root, 10), (Lines{"draw child window=10..40 t=0", "draw root window=0..1000 t=10"}));
    EXPECT_EQ(drawsAt(root, 40), (Lines{"draw child window=10..40 t=30", "draw root window=0..1000 t=40"}));
    EXPECT_EQ(drawsAt(root, 9.99f), (Lines{"draw root window=0..1000 t=9.99"}));
    EXPECT_EQ(drawsAt(root, 40.01f), (Lines{"draw root window=0..1000 t=40.01"}));
}

TEST_F(EffectInstanceTest, GrandchildWindowIsInTheChildsLocalTime) {
    EffectInstance root(nullptr, 0, 1000, "root");
    EffectInstance child(nullptr, 10, 40, "child");
    EffectInstance grandchild(&grandchildEffect, 5, 6, "grandchild");
    root.addChild(&child);
    child.addChild(&grandchild);

    EXPECT_EQ(drawsAt(root, 15), (Lines{"draw grandchild window=5..6 t=0"}));
    EXPECT_EQ(drawsAt(root, 16), (Lines{"draw grandchild window=5..6 t=1"}));
    EXPECT_EQ(drawsAt(root, 14.99f), Lines{});
    EXPECT_EQ(drawsAt(root, 16.01f), Lines{});
}

TEST_F(EffectInstanceTest, ChildrenDrawInOrderBeforeTheirParent) {
    JournalEffect a("Effect", &journal, "A"), a1("Effect", &journal, "A1"), b("Effect", &journal, "B"),
        p("Effect", &journal, "P");
    EffectInstance parent(&p, 0, 10, "P");
    EffectInstance first(&a, 0, 10, "A");
    EffectInstance firstChild(&a1, 0, 10, "A1");
    EffectInstance second(&b, 0, 10, "B");
    parent.addChild(&first);
    first.addChild(&firstChild);
    parent.addChild(&second);

    EXPECT_EQ(drawsAt(parent, 1), (Lines{"draw A1 window=0..10 t=1", "draw A window=0..10 t=1",
                                         "draw B window=0..10 t=1", "draw P window=0..10 t=1"}));
}

TEST_F(EffectInstanceTest, SharedEffectSeesEachInstancesOwnWindowAndTime) {
    EffectInstance root(nullptr, 0, 100, "root");
    EffectInstance early(&childEffect, 0, 10, "early");
    EffectInstance late(&childEffect, 5, 15, "late");
    root.addChild(&early);
    root.addChild(&late);

    EXPECT_EQ(drawsAt(root, 7), (Lines{"draw child window=0..10 t=7", "draw child window=5..15 t=2"}));
    EXPECT_EQ(drawsAt(root, 12), (Lines{"draw child window=5..15 t=7"}));
}

TEST_F(EffectInstanceTest, RootIsDrawnOutsideItsWindowButNeverCollected) {
    EffectInstance root(&rootEffect, 0, 100, "root");
    EffectInstance child(&childEffect, 0, 200, "child");
    root.addChild(&child);

    EXPECT_EQ(drawsAt(root, 150), (Lines{"draw child window=0..200 t=150", "draw root window=0..100 t=150"}));
    EXPECT_TRUE(root.collectActive(150).empty());
}

TEST_F(EffectInstanceTest, CollectActiveIsPreOrderOverActiveInstancesOnly) {
    EffectInstance root(nullptr, 0, 100, "root");
    EffectInstance first(nullptr, 0, 5, "first");
    EffectInstance firstChild(nullptr, 0, 100, "firstChild");
    EffectInstance second(nullptr, 10, 50, "second");
    EffectInstance secondChildOn(nullptr, 0, 10, "secondChildOn");
    EffectInstance secondChildOff(nullptr, 20, 30, "secondChildOff");
    EffectInstance secondGrandchild(nullptr, 1, 2, "secondGrandchild");
    root.addChild(&first);
    first.addChild(&firstChild);
    root.addChild(&second);
    second.addChild(&secondChildOn);
    second.addChild(&secondChildOff);
    secondChildOn.addChild(&secondGrandchild);

    EXPECT_EQ(namesOf(root.collectActive(11.5f)), (Lines{"root", "second", "secondChildOn", "secondGrandchild"}));
    EXPECT_EQ(namesOf(root.collectActive(3)), (Lines{"root", "first", "firstChild"}));

    // The overload that appends lets the caller keep one list.
    std::vector<EffectInstance*> reused{&root};
    root.collectActive(3, reused);
    EXPECT_EQ(reused.size(), 4u);
}

TEST_F(EffectInstanceTest, AddChildRefusesLoopsButAllowsSharedChildren) {
    EffectInstance root(nullptr, 0, 100, "root");
    EffectInstance middle(nullptr, 0, 100, "middle");
    EffectInstance leaf(&childEffect, 0, 100, "leaf");
    ASSERT_TRUE(root.addChild(&middle));
    ASSERT_TRUE(middle.addChild(&leaf));

    EXPECT_FALSE(root.addChild(&root));
    EXPECT_FALSE(leaf.addChild(&root));
    EXPECT_FALSE(leaf.addChild(&middle));
    EXPECT_FALSE(root.addChild(nullptr));
    EXPECT_TRUE(root.addChild(&leaf));  // a second path to leaf is no loop

    EXPECT_EQ(drawsAt(root, 1), (Lines{"draw child window=0..100 t=1", "draw child window=0..100 t=1"}));
    EXPECT_EQ(root.collectActive(1).size(), 4u);
}

TEST_F(EffectInstanceTest, VisitsCountEveryPathAndARefusedChildChangesNothing) {
    // A chain of diamonds: each level's pair shares the next level's pair.
    std::vector<std::unique_ptr<EffectInstance>> levels;
    auto add = [&](const std::string& name) {
        levels.push_back(std::make_unique<EffectInstance>(nullptr, 0, 100, name));
        return levels.back().get();
    };
    EffectInstance* top = add("top");
    std::vector<EffectInstance*> above{top};
    for (int level = 0; level < 10; ++level) {
        std::vector<EffectInstance*> pair{add("a"), add("b")};
        for (EffectInstance* parent : above)
            for (EffectInstance* child : pair) ASSERT_TRUE(parent->addChild(child));
        above = pair;
    }
    EXPECT_EQ(top->visitsPerFrame(), 2047u);
    EXPECT_EQ(top->collectActive(1).size(), 2047u);

    // The same leaf under the last pair once more: 2 x 512 paths, fits.
    EffectInstance* leaf = add("leaf");
    ASSERT_TRUE(above[0]->addChild(leaf));
    ASSERT_TRUE(above[1]->addChild(leaf));
    EXPECT_EQ(top->visitsPerFrame(), 3071u);
    // A three-instance subtree there once more would pass the limit.
    EffectInstance* group = add("group");
    ASSERT_TRUE(group->addChild(add("x")));
    ASSERT_TRUE(group->addChild(add("y")));
    EXPECT_FALSE(above[0]->addChild(group));
    EXPECT_EQ(above[0]->getChildren().size(), 1u);
    EXPECT_EQ(top->visitsPerFrame(), 3071u);
    EXPECT_EQ(top->collectActive(1).size(), 3071u);
    EXPECT_TRUE(top->addChild(group));  // one path there: fits
    EXPECT_EQ(top->visitsPerFrame(), 3074u);
}

}  // namespace
