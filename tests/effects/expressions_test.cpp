// Expression-driven motion and mapping, and the fparser behaviour the
// effects rely on. No GL needed.
#include <gtest/gtest.h>

#include <cmath>

#include "effects/fx_gl_layer_object.h"
#include "effects/layer_motion.h"
#include "effects/script_expression.h"
#include "effects/uv_function.h"

TEST(ScriptExpression, ParseResultsAndInvalidExpressionsEvaluateToZero) {
    ScriptExpression good;
    EXPECT_TRUE(good.compile("2*t+1", "t"));
    EXPECT_FLOAT_EQ(good.evaluateAt(1.5f), 4.0f);

    // Function names are lower case only; a text that does not parse, an
    // empty text and an expression never given a text all yield 0.
    ScriptExpression upperCase, broken, empty, neverParsed;
    EXPECT_FALSE(upperCase.compile("SIN(t)", "t"));
    EXPECT_FALSE(broken.compile("t+*2", "t"));
    EXPECT_FALSE(empty.compile("", "t"));
    EXPECT_EQ(upperCase.evaluateAt(1.0f), 0.0f);
    EXPECT_EQ(broken.evaluateAt(1.0f), 0.0f);
    EXPECT_EQ(empty.evaluateAt(1.0f), 0.0f);
    EXPECT_EQ(neverParsed.evaluateAt(1.0f), 0.0f);

    // Recompiling over a working expression with a broken one does not keep
    // the old program.
    EXPECT_FALSE(good.compile("t+", "t"));
    EXPECT_EQ(good.evaluateAt(1.5f), 0.0f);
}

TEST(ScriptExpression, AnEmptyTextTakesTheFallbackAndOnlyABrokenGivenTextIsReported) {
    ScriptExpression fallback, broken;
    testing::internal::CaptureStderr();
    EXPECT_TRUE(fallback.compileReporting("alpha", "", "t", "3.0"));
    EXPECT_FALSE(broken.compileReporting("position.x", "t+", "t", "0"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Could not parse position.x \"t+\" at 2: Syntax error, using 0\n");
    EXPECT_EQ(fallback.evaluateAt(9.0f), 3.0f);
    EXPECT_EQ(broken.evaluateAt(9.0f), 0.0f);
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
