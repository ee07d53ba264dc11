#include "effects/fx_render_particles.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "effects/particle_cloud.h"
#include "framework/demo_limits.h"
#include "support/allocation_counter.h"
#include "support/null_render_state.h"
#include "support/picture_files.h"
#include "support/recording_render_state.h"

namespace {

using Texts = std::vector<std::string>;

// A one-colour 32-bit TGA (file bytes B, G, R, A) in the scratch directory.

const char* const expressionNames[] = {"position.x",    "position.y",    "position.z",   "orientation.x",
                                       "orientation.y", "orientation.z", "particle.x",   "particle.y",
                                       "particle.z",    "alpha",         "particle.size"};

class FxRenderParticlesTest : public testing::Test {
protected:
    void SetUp() override { writeSolidTga(texturePath, 2, 2, 255, 255, 255); }

    int count = 3;
    ScratchDirectory scratch;
    std::string texturePath = "sprite.tga";
    RecordingRenderState rs;

    // Expressions go in as texts, as the script stores quoted values.
    std::unique_ptr<FxRenderParticles> makeEffect(const std::map<std::string, const char*>& expressions) {
        std::unique_ptr<FxRenderParticles> fx(
            static_cast<FxRenderParticles*>(FxRenderParticles().newInstance().release()));
        fx->setInt("numParticles", &count);
        fx->setString("textureFilename", texturePath.c_str());
        for (const auto& [name, text] : expressions) fx->setString(name, text);
        return fx;
    }
    std::string initQuietly(FxRenderParticles& fx) {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        fx.init(rs, DemoLimits{});
        testing::internal::GetCapturedStdout();
        return testing::internal::GetCapturedStderr();
    }
    void drawAt(FxRenderParticles& fx, float t) {
        rs.clear();
        fx.setTime(t);
        fx.draw(rs);
    }
};

TEST_F(FxRenderParticlesTest, OnlyCountAndTextureGiveTheDefaults) {
    auto fx = makeEffect({});
    // A number written without quotes lands in the float table: not an
    // expression, so the default size stays.
    float plainSize = 5.0f;
    fx->setFloat("particle.size", &plainSize);
    EXPECT_EQ(fx->typeName(), "FxRenderParticles");

    std::string expected;
    for (const char* name : expressionNames)
        expected += std::string("Could not find value for parameter ") + name + "\n\n";
    EXPECT_EQ(initQuietly(*fx), expected);

    drawAt(*fx, 7.0f);
    const ParticleCloud& cloud = *fx->getCloud();
    EXPECT_EQ(rs.texts()[0], "setPerspective(90,1.33333,0.05,300)");
    EXPECT_EQ(rs.textsOf("drawTriangles"), Texts{"drawTriangles(18)"});
    EXPECT_EQ(rs.textsOf("translate"), Texts{"translate(-0,-0,-0)"});
    EXPECT_EQ(rs.textsOf("rotate"), (Texts{"rotate(0,1,0,0)", "rotate(0,0,1,0)", "rotate(0,0,0,1)"}));
    EXPECT_EQ(cloud.getBrightness(), 1.0f);
    EXPECT_EQ(cloud.getSize(), 3.0f);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(cloud.getCentre(i).x, 0.0f);
        EXPECT_EQ(cloud.getCentre(i).y, 0.0f);
        EXPECT_EQ(cloud.getCentre(i).z, 0.0f);
    }
}

TEST_F(FxRenderParticlesTest, ExpressionsDriveEyeOrientationLookAndSprites) {
    auto fx = makeEffect({{"position.x", "t"},
                          {"position.y", "2*t"},
                          {"position.z", "20-t"},
                          {"orientation.x", "10"},
                          {"orientation.y", "t*t"},
                          {"orientation.z", "-t"},
                          {"particle.x", "i"},
                          {"particle.y", "n"},
                          {"particle.z", "t+i/2"},
                          {"alpha", "t/4"},
                          {"particle.size", "0.5+t"}});
    EXPECT_EQ(initQuietly(*fx), "");
    drawAt(*fx, 2.0f);

    const ParticleCloud& cloud = *fx->getCloud();
    EXPECT_EQ(rs.textsOf("translate"), Texts{"translate(-2,-4,-18)"});
    EXPECT_EQ(rs.textsOf("rotate"), (Texts{"rotate(10,1,0,0)", "rotate(4,0,1,0)", "rotate(-2,0,0,1)"}));
    EXPECT_EQ(cloud.getBrightness(), 0.5f);
    EXPECT_EQ(cloud.getSize(), 2.5f);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(cloud.getCentre(i).x, float(i));
        EXPECT_EQ(cloud.getCentre(i).y, 3.0f);
        EXPECT_EQ(cloud.getCentre(i).z, 2.0f + i / 2.0f);
    }
}

TEST_F(FxRenderParticlesTest, PiIsKnownOnlyToTheSpriteCentres) {
    auto fx = makeEffect({{"position.x", "pi"}, {"particle.x", "cos(2*pi*i/n)"}, {"particle.y", "pi"}});
    const std::string errors = initQuietly(*fx);
    EXPECT_EQ(errors.substr(0, errors.find('\n') + 1),
              "Could not parse position.x \"pi\" at 0: Syntax error: Unknown identifier, using 0\n");
    EXPECT_EQ(errors.find("Could not parse", 1), std::string::npos) << errors;
    EXPECT_FALSE(fx->isCompiled(FxRenderParticles::EyeX));
    EXPECT_TRUE(fx->isCompiled(FxRenderParticles::CentreX));

    drawAt(*fx, 1.0f);
    const ParticleCloud& cloud = *fx->getCloud();
    EXPECT_EQ(cloud.getPosition().x, 0.0f);
    EXPECT_FLOAT_EQ(cloud.getCentre(0).x, 1.0f);
    EXPECT_NEAR(cloud.getCentre(1).x, -0.5f, 1e-5);
    EXPECT_NEAR(cloud.getCentre(2).x, -0.5f, 1e-5);
    // pi here is the single-precision 3.14159, not the exact value.
    EXPECT_EQ(cloud.getCentre(0).y, 3.14159f);
}

TEST_F(FxRenderParticlesTest, BrokenExpressionsEvaluateToZero) {
    auto fx = makeEffect({{"alpha", "sin("}, {"particle.z", "i+q"}, {"particle.size", "2*"}});
    const std::string errors = initQuietly(*fx);
    EXPECT_NE(errors.find("Could not parse alpha \"sin(\" at "), std::string::npos) << errors;
    EXPECT_NE(errors.find("Could not parse particle.z \"i+q\" at "), std::string::npos) << errors;
    EXPECT_NE(errors.find("Could not parse particle.size \"2*\" at "), std::string::npos) << errors;
    drawAt(*fx, 3.0f);
    const ParticleCloud& cloud = *fx->getCloud();
    EXPECT_EQ(cloud.getBrightness(), 0.0f);
    EXPECT_EQ(cloud.getSize(), 0.0f);
    EXPECT_EQ(cloud.getCentre(2).z, 0.0f);
}

TEST_F(FxRenderParticlesTest, OffsetEventsShiftEverythingButTheSpriteCentres) {
    auto fx = makeEffect(
        {{"position.z", "t"}, {"orientation.z", "t"}, {"alpha", "t"}, {"particle.size", "t"}, {"particle.z", "t"}});
    initQuietly(*fx);
    for (const char* name : {"offset", "offsets", "offs", "Offset", "zrotate", "offset", "offset"})
        fx->onSyncEvent(name);
    EXPECT_EQ(fx->getSyncOffset(), 6.0f);

    drawAt(*fx, 1.0f);
    const ParticleCloud& cloud = *fx->getCloud();
    EXPECT_EQ(cloud.getPosition().z, 7.0f);
    EXPECT_EQ(cloud.getRotation().z, 7.0f);
    EXPECT_EQ(cloud.getBrightness(), 7.0f);
    EXPECT_EQ(cloud.getSize(), 7.0f);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(cloud.getCentre(i).z, 1.0f);
}

TEST_F(FxRenderParticlesTest, MissingCountGivesAnEmptyCloudAndDrawBeforeInitNothing) {
    FxRenderParticles uninitialised;
    uninitialised.draw(rs);
    EXPECT_TRUE(rs.calls.empty());

    std::unique_ptr<FxRenderParticles> fx(new FxRenderParticles());
    fx->setString("textureFilename", texturePath.c_str());
    for (const char* name : expressionNames) fx->setString(name, "1");
    EXPECT_EQ(initQuietly(*fx), "Could not find value for parameter numParticles\n\n");
    drawAt(*fx, 1.0f);
    EXPECT_EQ(rs.textsOf("drawTriangles"), Texts{"drawTriangles(0)"});
}

TEST_F(FxRenderParticlesTest, DrawAllocatesNothing) {
    count = 200;
    auto fx = makeEffect({{"position.z", "20+sin(t)"}, {"particle.x", "cos(2*pi*i/n)*t"}, {"alpha", "min(1,t)"}});
    initQuietly(*fx);
    NullRenderState silent;
    const std::size_t before = allocationCount();
    for (float t : {0.0f, 1.5f, 30.0f}) {
        fx->setTime(t);
        fx->draw(silent);
    }
    EXPECT_EQ(allocationCount(), before);
}

}  // namespace
