// Expression-driven motion and mapping, and the fparser behaviour the
// effects rely on. No GL needed.
#include <gtest/gtest.h>

#include <fparser.hh>

#include <cmath>

#include "effects/fparser_expression.h"
#include "effects/fx_gl_layer_object.h"
#include "effects/layer_motion.h"
#include "effects/uv_function.h"

TEST(FparserExpression, ParseResultsAndInvalidExpressionsEvaluateToZero) {
    FunctionParser good;
    EXPECT_TRUE(compileExpression(good, "2*t+1", "t"));
    EXPECT_FLOAT_EQ(evaluateAtTime(good, 1.5f), 4.0f);

    // Function names are lower case only; a text that does not parse, an
    // empty text and a parser never given a text all yield 0.
    FunctionParser upperCase, broken, empty, neverParsed;
    EXPECT_FALSE(compileExpression(upperCase, "SIN(t)", "t"));
    EXPECT_FALSE(compileExpression(broken, "t+*2", "t"));
    EXPECT_FALSE(compileExpression(empty, "", "t"));
    EXPECT_EQ(evaluateAtTime(upperCase, 1.0f), 0.0f);
    EXPECT_EQ(evaluateAtTime(broken, 1.0f), 0.0f);
    EXPECT_EQ(evaluateAtTime(empty, 1.0f), 0.0f);
    EXPECT_EQ(evaluateAtTime(neverParsed, 1.0f), 0.0f);

    // Recompiling over a working expression with a broken one does not keep
    // the old program.
    EXPECT_FALSE(compileExpression(good, "t+", "t"));
    EXPECT_EQ(evaluateAtTime(good, 1.5f), 0.0f);
}

TEST(LayerMotion, ExpressionsOfTimeDriveOffsetSizeAndAngle) {
    ExpressionLayerMotion moving("t*0.5", "-t", "2", "sin(t)", "t*90");
    const Vec2 offset = moving.motion(2.0f);
    EXPECT_FLOAT_EQ(offset.u, 1.0f);
    EXPECT_FLOAT_EQ(offset.v, -2.0f);
    const Vec2 size = moving.size(2.0f);
    EXPECT_FLOAT_EQ(size.u, 2.0f);
    EXPECT_FLOAT_EQ(size.v, std::sin(2.0f));
    EXPECT_FLOAT_EQ(moving.angle(2.0f), 180.0f);
}

TEST(LayerMotion, HalfAPairFallsBackToTheDefaultPair) {
    ExpressionLayerMotion onlyX("0.3", "", "2", "", "");
    EXPECT_EQ(onlyX.motion(1.0f).u, 0.0f);
    EXPECT_EQ(onlyX.motion(1.0f).v, 0.0f);
    EXPECT_EQ(onlyX.size(1.0f).u, 1.0f);
    EXPECT_EQ(onlyX.size(1.0f).v, 0.75f);
    EXPECT_EQ(onlyX.angle(1.0f), 0.0f);

    ExpressionLayerMotion onlyY("", "0.3", "", "2", "");
    EXPECT_EQ(onlyY.motion(1.0f).v, 0.0f);
    EXPECT_EQ(onlyY.size(1.0f).u, 1.0f);
    EXPECT_EQ(onlyY.size(1.0f).v, 0.75f);
}

TEST(LayerMotion, GivenButBrokenExpressionsYieldZero) {
    ExpressionLayerMotion broken("t+", "1", "Sin(t)", "1", "((");
    EXPECT_EQ(broken.motion(1.0f).u, 0.0f);
    EXPECT_EQ(broken.motion(1.0f).v, 1.0f);
    EXPECT_EQ(broken.size(1.0f).u, 0.0f);
    EXPECT_EQ(broken.angle(1.0f), 0.0f);
}

TEST(BlendModeFromName, OnlyTheThreeExactLowerCaseNames) {
    EXPECT_EQ(blendModeFromName("solid"), BlendModeSolid);
    EXPECT_EQ(blendModeFromName("additive"), BlendModeAdditive);
    EXPECT_EQ(blendModeFromName("modulating"), BlendModeModulating);
    EXPECT_FALSE(blendModeFromName("Solid").has_value());
    EXPECT_FALSE(blendModeFromName("solid ").has_value());
    EXPECT_FALSE(blendModeFromName("").has_value());
}

TEST(ExpressionUVFunction, SeesTheVariablesInListOrder) {
    ExpressionUVFunction order("x*10000+y*1000+r*100", "a*10+t");
    const Vec2 uv = order.map(1.0f, 2.0f, 3.0f, 4.0f, 5.0f);
    EXPECT_FLOAT_EQ(uv.u, 12300.0f);
    EXPECT_FLOAT_EQ(uv.v, 45.0f);

    // Trigonometry in radians.
    ExpressionUVFunction trig("cos(a)", "atan2(y,x)");
    EXPECT_NEAR(trig.map(0.0f, 1.0f, 1.0f, 3.14159265f, 0.0f).u, -1.0f, 1e-6);
    EXPECT_NEAR(trig.map(0.0f, 1.0f, 1.0f, 0.0f, 0.0f).v, 1.5707963f, 1e-6);
}

TEST(ExpressionUVFunction, AbsentOrBrokenTextsMapToZero) {
    ExpressionUVFunction absent("", "x+");
    const Vec2 uv = absent.map(0.5f, 0.5f, 0.7f, 0.8f, 1.0f);
    EXPECT_EQ(uv.u, 0.0f);
    EXPECT_EQ(uv.v, 0.0f);
}
