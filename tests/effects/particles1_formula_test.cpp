#include "effects/particles1_formula.h"

#include <gtest/gtest.h>

namespace {

// Expected values worked out by hand (with the single-precision constants
// 3.14159 and 37.69908 widened to double).
TEST(Particles1Formula, PositionsMatchHandComputation) {
    Particles1Formula formula;
    struct Case {
        float i, n, c, x, y, z;
    } cases[] = {
        {0, 4, 0, 5.0f, 0.0f, 0.0f},
        {1, 4, 0, -4.999959f, -0.000025f, -22.5f},
        {3, 7, 10, 6.747810f, -4.843352f, 6.241288f},
        // E depends on the count: with n = 1000 it is 4.909, not the 5.000
        // that the index 2 would give.
        {2, 1000, 25, -2.590753f, 1.770065f, 10.325675f},
    };
    for (const Case& c : cases) {
        Vec3 p = formula.position(c.i, c.n, c.c);
        EXPECT_NEAR(p.x, c.x, 2e-6 + 1e-6 * std::abs(c.x)) << c.i << "," << c.n << "," << c.c;
        EXPECT_NEAR(p.y, c.y, 2e-6 + 1e-6 * std::abs(c.y)) << c.i << "," << c.n << "," << c.c;
        EXPECT_NEAR(p.z, c.z, 2e-6 + 1e-6 * std::abs(c.z)) << c.i << "," << c.n << "," << c.c;
    }
}

TEST(Particles1Formula, EyeRestsThenFliesIn) {
    Particles1Formula formula;
    for (float t : {0.0f, 10.0f, 19.99f, 20.0f}) {
        Vec3 e = formula.eye(t);
        EXPECT_EQ(e.x, 0.0f) << t;
        EXPECT_EQ(e.y, 0.0f) << t;
        EXPECT_EQ(e.z, 20.0f) << t;
    }
    Vec3 e = formula.eye(25.0f);
    EXPECT_FLOAT_EQ(e.x, 5.0f);
    EXPECT_EQ(e.y, 0.0f);
    EXPECT_FLOAT_EQ(e.z, -5.0f);
}

TEST(Particles1Formula, FadesInOverFourSecondsAtFixedSize) {
    Particles1Formula formula;
    EXPECT_EQ(formula.brightness(0.0f), 0.0f);
    EXPECT_FLOAT_EQ(formula.brightness(2.0f), 0.5f);
    EXPECT_FLOAT_EQ(formula.brightness(3.99f), 0.9975f);
    EXPECT_EQ(formula.brightness(4.0f), 1.0f);
    EXPECT_EQ(formula.brightness(100.0f), 1.0f);
    EXPECT_FLOAT_EQ(formula.size(0.0f), 0.7f);
    EXPECT_FLOAT_EQ(formula.size(123.0f), 0.7f);
    EXPECT_EQ(formula.name(), "Particles1");
}

}  // namespace
