#include "effects/fx_asm_particles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "effects/particle_cloud.h"
#include "effects/particles1_formula.h"
#include "framework/demo_limits.h"
#include "support/allocation_counter.h"
#include "support/null_render_state.h"
#include "support/picture_files.h"
#include "support/recording_render_state.h"

namespace {

using Texts = std::vector<std::string>;

// A one-colour 32-bit TGA (file bytes B, G, R, A) in the scratch directory.

class FxAsmParticlesTest : public testing::Test {
protected:
    void SetUp() override { writeSolidTga(texturePath, 2, 2, 255, 255, 255); }

    // Parameter values must outlive the effect, as the script reader's do.
    int count = 3;
    float size = 0.4f;
    ScratchDirectory scratch;
    std::string texturePath = "sprite.tga";
    RecordingRenderState rs;
    DemoLimits limits;

    std::unique_ptr<FxAsmParticles> makeEffect(const char* calc = "Particles1", bool withCount = true,
                                               bool withSize = true) {
        std::unique_ptr<FxAsmParticles> fx(static_cast<FxAsmParticles*>(FxAsmParticles().newInstance().release()));
        if (withCount) fx->setInt("numParticles", &count);
        if (withSize) fx->setFloat("particle.size", &size);
        fx->setString("calc", calc);
        fx->setString("textureFilename", texturePath.c_str());
        return fx;
    }
    // Runs init and returns what it wrote to standard error.
    std::string initQuietly(FxAsmParticles& fx) {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        fx.init(rs, limits);
        testing::internal::GetCapturedStdout();
        return testing::internal::GetCapturedStderr();
    }
    void drawAt(FxAsmParticles& fx, float t) {
        rs.clear();
        fx.setTime(t);
        fx.draw(rs);
    }
    void expectCentresAtFormulaTime(const FxAsmParticles& fx, float c, float tolerance) {
        Particles1Formula formula;
        for (int i = 0; i < count; ++i) {
            Vec3 expected = formula.position(float(i), float(count), c);
            const Vec3& centre = fx.getCloud()->getCentre(i);
            EXPECT_NEAR(centre.x, expected.x, tolerance) << i;
            EXPECT_NEAR(centre.y, expected.y, tolerance) << i;
            EXPECT_NEAR(centre.z, expected.z, tolerance) << i;
        }
    }
};

TEST_F(FxAsmParticlesTest, InitBuildsATexturedCloudAndDrawSetsItsView) {
    auto fx = makeEffect();
    EXPECT_EQ(fx->typeName(), "FxAsmParticles");
    EXPECT_EQ(initQuietly(*fx), "");
    ASSERT_NE(fx->getCloud(), nullptr);
    EXPECT_EQ(fx->getCloud()->getCount(), 3);
    EXPECT_FLOAT_EQ(fx->getCloud()->getSize(), 0.4f);
    EXPECT_EQ(rs.textsOf("createTexture"), Texts{"createTexture(2,2,0,2)"});

    drawAt(*fx, 0.0f);
    Texts calls = rs.texts();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(Texts(calls.begin(), calls.begin() + 3),
              (Texts{"setPerspective(90,1.33333,0.05,300)", "setMatrixMode(0)", "loadIdentity()"}));
    EXPECT_EQ(rs.textsOf("bindTexture"), Texts{"bindTexture(1)"});
    EXPECT_EQ(rs.textsOf("drawTriangles"), Texts{"drawTriangles(18)"});
    // The formula set's size replaces the script's from the first frame on.
    EXPECT_FLOAT_EQ(fx->getCloud()->getSize(), 0.7f);
}

TEST_F(FxAsmParticlesTest, FollowsTheFormulaSetsEyeFadeAndPositions) {
    auto fx = makeEffect();
    initQuietly(*fx);
    const ParticleCloud& cloud = *fx->getCloud();

    drawAt(*fx, 0.0f);
    EXPECT_EQ(cloud.getBrightness(), 0.0f);
    EXPECT_EQ(cloud.getPosition().z, 20.0f);

    drawAt(*fx, 2.0f);
    EXPECT_FLOAT_EQ(cloud.getBrightness(), 0.5f);

    drawAt(*fx, 20.0f);
    EXPECT_EQ(cloud.getPosition().x, 0.0f);
    EXPECT_EQ(cloud.getPosition().z, 20.0f);

    drawAt(*fx, 25.0f);
    EXPECT_FLOAT_EQ(cloud.getPosition().x, 5.0f);
    EXPECT_EQ(cloud.getPosition().y, 0.0f);
    EXPECT_FLOAT_EQ(cloud.getPosition().z, -5.0f);
    EXPECT_EQ(cloud.getBrightness(), 1.0f);
    EXPECT_EQ(cloud.getRotation().z, 0.0f);
    expectCentresAtFormulaTime(*fx, 25.0f, 0.0f);
}

TEST_F(FxAsmParticlesTest, ZrotateEventsRollTheCloudAndJumpFormulaTime) {
    auto fx = makeEffect();
    initQuietly(*fx);
    const ParticleCloud& cloud = *fx->getCloud();

    // Only the exact name counts.
    for (const char* other : {"zrotatex", "zrot", "Zrotate", "", "offset"}) fx->onSyncEvent(other);
    drawAt(*fx, 5.0f);
    EXPECT_EQ(fx->getZrotateCount(), 0.0f);
    expectCentresAtFormulaTime(*fx, 5.0f, 0.0f);

    fx->onSyncEvent("zrotate");
    drawAt(*fx, 5.0f);
    EXPECT_FLOAT_EQ(cloud.getRotation().z, -3.0f);
    EXPECT_FLOAT_EQ(cloud.getPosition().z, 20.0f + std::sin(1.0f));
    expectCentresAtFormulaTime(*fx, 25.0f, 1e-5f);

    fx->onSyncEvent("zrotate");
    drawAt(*fx, 5.0f);
    EXPECT_FLOAT_EQ(cloud.getRotation().z, -6.0f);
    EXPECT_FLOAT_EQ(cloud.getPosition().z, 20.0f + std::sin(2.0f));
    // 20 * sin(3.14159) leaves the formula time a few 1e-5 s past t.
    expectCentresAtFormulaTime(*fx, 5.0f, 1e-3f);
}

TEST_F(FxAsmParticlesTest, UnknownFormulaSetIsReportedAndNothingIsDrawn) {
    auto fx = makeEffect("particles1");
    EXPECT_EQ(initQuietly(*fx), "No particle formula set named particles1, the cloud stays hidden\n");
    EXPECT_EQ(fx->getFormula(), nullptr);
    drawAt(*fx, 1.0f);
    EXPECT_TRUE(rs.calls.empty());
}

TEST_F(FxAsmParticlesTest, MissingOrBadParametersGiveAnEmptyOrDefaultCloud) {
    auto noCount = makeEffect("Particles1", false);
    EXPECT_EQ(initQuietly(*noCount), "Could not find value for parameter numParticles\n\n");
    drawAt(*noCount, 1.0f);
    EXPECT_EQ(rs.textsOf("drawTriangles"), Texts{"drawTriangles(0)"});

    count = -4;
    auto negative = makeEffect();
    EXPECT_EQ(initQuietly(*negative), "numParticles -4 out of range, using 0\n");
    EXPECT_EQ(negative->getCloud()->getCount(), 0);

    // Zero is a valid count: the state is still set, no vertex drawn.
    count = 0;
    auto zero = makeEffect();
    EXPECT_EQ(initQuietly(*zero), "");
    drawAt(*zero, 1.0f);
    EXPECT_EQ(rs.textsOf("drawTriangles"), Texts{"drawTriangles(0)"});
    EXPECT_EQ(rs.textsOf("setBlendFunc"), Texts{"setBlendFunc(0,0)"});

    count = 2;
    auto noSize = makeEffect("Particles1", true, false);
    EXPECT_EQ(initQuietly(*noSize), "Could not find value for parameter particle.size\n\n");
    drawAt(*noSize, 1.0f);
    EXPECT_FLOAT_EQ(noSize->getCloud()->getSize(), 0.7f);
    EXPECT_EQ(rs.textsOf("drawTriangles"), Texts{"drawTriangles(12)"});

    // A lower cap from the limits (the folder fuzz target's) binds too.
    limits.maxParticles = 10;
    count = 100;
    auto many = makeEffect();
    EXPECT_EQ(initQuietly(*many), "numParticles 100 out of range, using 10\n");
    EXPECT_EQ(many->getCloud()->getCount(), 10);
}

TEST_F(FxAsmParticlesTest, DrawBeforeInitDoesNothing) {
    FxAsmParticles fx;
    fx.draw(rs);
    EXPECT_TRUE(rs.calls.empty());
}

TEST_F(FxAsmParticlesTest, DrawAllocatesNothing) {
    count = 500;
    auto fx = makeEffect();
    initQuietly(*fx);
    fx->onSyncEvent("zrotate");
    NullRenderState silent;
    const std::size_t before = allocationCount();
    for (float t : {0.0f, 10.0f, 30.0f}) {
        fx->setTime(t);
        fx->draw(silent);
    }
    EXPECT_EQ(allocationCount(), before);
}

}  // namespace
