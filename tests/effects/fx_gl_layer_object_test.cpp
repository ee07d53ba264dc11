// The picture layer: what a viewer sees, in pixels under a real GL context,
// and its render-state call sequence where pixels cannot tell.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "effects/fx_gl_layer_object.h"
#include "framework/demo_limits.h"
#include "support/allocation_counter.h"
#include "support/effect_parameters.h"
#include "support/gl_test_screen.h"
#include "support/null_render_state.h"
#include "support/picture_files.h"
#include "support/recording_render_state.h"

namespace {

constexpr Rgba black{0, 0, 0, 255};
constexpr Rgba red{255, 0, 0, 255};
constexpr Rgba green{0, 255, 0, 255};
constexpr Rgba blue{0, 0, 255, 255};

class LayerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        directory = makeScratchDirectory();
        writeTgaFile(directory + "/red.tga", 16, 16, [](int, int) { return red; });
        // Left half red, right half green.
        writeTgaFile(directory + "/halves.tga", 64, 64, [](int x, int) { return x < 32 ? red : green; });
        writeTgaFile(directory + "/grey.tga", 16, 16, [](int, int) { return Rgba{64, 64, 64, 255}; });
    }

    static void TearDownTestSuite() { std::filesystem::remove_all(directory); }

    void SetUp() override { ASSERT_TRUE(screen.isOpen()); }

    void give(const std::string& name, const std::string& value) { parameters.text(layer, name, value); }
    std::string picture(const std::string& name) { return directory + "/" + name; }

    void initQuietly() { initQuietly(screen.renderState()); }
    void initQuietly(RenderState& renderState) {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        layer.init(renderState, DemoLimits{});
        testing::internal::GetCapturedStdout();
        testing::internal::GetCapturedStderr();
    }

    void drawAt(float t) { drawAt(t, screen.renderState()); }
    void drawAt(float t, RenderState& renderState) {
        layer.setTime(t);
        layer.draw(renderState);
    }

    // The calls of one draw, through a recording render state.
    std::vector<std::string> recordDrawAt(float t) {
        RecordingRenderState recording;
        drawAt(t, recording);
        return recording.texts();
    }

    static std::string directory;
    GlTestScreen screen;
    // For a test that uploads through a recording: a texture frees its name
    // through the render state it was made with, so that one outlives it.
    RecordingRenderState initRecording;
    EffectParameters parameters;
    FxGLLayerObject layer;
};

std::string LayerTest::directory;

std::vector<std::string> blendingCalls(const std::vector<std::string>& calls) {
    std::vector<std::string> blending;
    for (const std::string& call : calls)
        if (call.find("Blend") != std::string::npos) blending.push_back(call);
    return blending;
}

TEST_F(LayerTest, HalfBrightSolidLayerFillsTheMiddleThreeQuartersOfTheHeight) {
    give("textureFilename", picture("red.tga"));
    give("alpha", "0.5");
    give("transparency", "solid");
    initQuietly();
    screen.clear(0, 0, 1);
    drawAt(0.0f);

    for (int x : {2, 320, 637}) {
        for (int y : {62, 240, 417}) EXPECT_TRUE(colourNear(screen.pixel(x, y), {128, 0, 0, 255})) << x << "," << y;
        // Solid: the blue below does not show through; above and below the
        // layer it stays.
        EXPECT_TRUE(colourNear(screen.pixel(x, 57), blue)) << x;
        EXPECT_TRUE(colourNear(screen.pixel(x, 423), blue)) << x;
    }
}

TEST_F(LayerTest, MotionMovesTheLayerByTwiceItsValue) {
    give("textureFilename", picture("halves.tga"));
    give("alpha", "1");
    give("transparency", "solid");
    give("motionx", "0.25");
    give("motiony", "0");
    initQuietly();
    screen.clear(0, 0, 0);
    drawAt(0.0f);

    // The layer spans -0.5 to 1.5: its left edge at column 160, its centre
    // (where the halves meet) at x = 0.5, column 480.
    EXPECT_TRUE(colourNear(screen.pixel(155, 240), black));
    EXPECT_TRUE(colourNear(screen.pixel(165, 240), red));
    EXPECT_TRUE(colourNear(screen.pixel(470, 240), red));
    EXPECT_TRUE(colourNear(screen.pixel(490, 240), green));
    EXPECT_TRUE(colourNear(screen.pixel(480, 57), black));
}

TEST_F(LayerTest, QuarterTurnKeepsTheOutlineAndTurnsThePictureCounterClockwise) {
    give("textureFilename", picture("halves.tga"));
    give("alpha", "1");
    give("transparency", "solid");
    give("angle", "90");
    initQuietly();
    screen.clear(0, 0, 0);
    drawAt(0.0f);

    // Same outline as unturned: full width, rows 60 to 420.
    EXPECT_TRUE(colourNear(screen.pixel(320, 57), black));
    EXPECT_TRUE(colourNear(screen.pixel(320, 423), black));
    // The picture's left (red) half now lies at the bottom, its top edge on the left.
    for (int x : {3, 320, 636}) {
        EXPECT_TRUE(colourNear(screen.pixel(x, 70), red)) << x;
        EXPECT_TRUE(colourNear(screen.pixel(x, 410), green)) << x;
    }
}

TEST_F(LayerTest, UScrollOfTimeScrollsOneWidthPerSecondAndWraps) {
    give("textureFilename", picture("halves.tga"));
    give("alpha", "1");
    give("transparency", "solid");
    give("uscroll", "t");
    initQuietly();

    for (float t : {0.0f, 0.5f, 1.0f}) {
        screen.clear(0, 0, 0);
        drawAt(t);
        const bool shifted = t == 0.5f;
        EXPECT_TRUE(colourNear(screen.pixel(160, 240), shifted ? green : red)) << t;
        EXPECT_TRUE(colourNear(screen.pixel(480, 240), shifted ? red : green)) << t;
    }
}

TEST_F(LayerTest, AdditiveAddsToWhatIsBelow) {
    give("textureFilename", picture("red.tga"));
    give("alpha", "0.5");
    give("transparency", "additive");
    initQuietly();
    screen.clear(0, 0, 1);
    drawAt(0.0f);

    EXPECT_TRUE(colourNear(screen.pixel(320, 240), {128, 0, 255, 255}));
    EXPECT_TRUE(colourNear(screen.pixel(320, 30), blue));
}

TEST_F(LayerTest, ModulatingBlendsByTheAlphaOfTheAlphaPicture) {
    give("textureFilename", picture("red.tga"));
    give("alphaFilename", picture("grey.tga"));
    give("alpha", "1");
    give("transparency", "modulating");
    initQuietly();
    screen.clear(0, 0, 1);
    drawAt(0.0f);

    // Alpha 64/255 from the grey picture: a quarter red over three quarters blue.
    EXPECT_TRUE(colourNear(screen.pixel(320, 240), {64, 0, 191, 255}));
    EXPECT_TRUE(colourNear(screen.pixel(320, 30), blue));
}

TEST_F(LayerTest, DrawSetsItsStateFirstThenMovesScalesAndTurnsTheSquare) {
    give("textureFilename", picture("red.tga"));
    give("alpha", "1");
    give("transparency", "additive");
    give("motionx", "0.25");
    give("motiony", "t");
    give("sizex", "2");
    give("sizey", "3");
    give("angle", "30");
    RecordingRenderState& recording = initRecording;
    initQuietly(recording);

    // Applied to the square in reverse: turned first, then scaled, then moved twice.
    const std::vector<std::string> expected = {
        "setOrtho2D(-1,1,-1,1)",
        "setMatrixMode(0)",
        "loadIdentity()",
        "disableLighting()",
        "disableDepthTest()",
        "disableCulling()",
        "pushMatrix()",
        "translate(0.25,0.5,0)",
        "translate(0.25,0.5,0)",
        "selectTextureUnit(0)",
        "bindTexture(1)",
        "setTexEnv(1)",
        "setColor(1,1,1,1)",
        "enableBlending()",
        "setBlendFunc(0,0)",
        "scale(2,3,1)",
        "rotate(30,0,0,1)",
        "setVertexArray(2,0,0)",
        "setTexCoordArray(2,0,0)",
        "drawTriangles(6)",
        "popMatrix()",
    };
    recording.clear();
    drawAt(0.5f, recording);
    EXPECT_EQ(recording.texts(), expected);
}

TEST_F(LayerTest, SquareAndScrolledTextureCoordinatesFollowTheTable) {
    give("textureFilename", picture("red.tga"));
    give("alpha", "1");
    give("transparency", "solid");
    give("uscroll", "t");
    give("vscroll", "2*t");
    initQuietly();

    RecordingRenderState recording;
    drawAt(0.25f, recording);

    const float* vertices = nullptr;
    const float* texCoords = nullptr;
    for (const auto& call : recording.calls) {
        if (call.name == "setVertexArray") vertices = static_cast<const float*>(call.pointer);
        if (call.name == "setTexCoordArray") texCoords = static_cast<const float*>(call.pointer);
    }
    ASSERT_TRUE(vertices && texCoords);
    const float expectedVertices[12] = {-1, 1, 1, 1, -1, -1, 1, -1, -1, -1, 1, 1};
    const float u = 0.25f, v = 0.5f;
    const float expectedTexCoords[12] = {u, v, u + 1, v, u, v + 1, u + 1, v + 1, u, v + 1, u + 1, v};
    for (int i = 0; i < 12; ++i) {
        EXPECT_FLOAT_EQ(vertices[i], expectedVertices[i]) << i;
        EXPECT_FLOAT_EQ(texCoords[i], expectedTexCoords[i]) << i;
    }
}

TEST_F(LayerTest, EachTransparencyNameHasItsBlending) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> modes = {
        {"solid", {"disableBlending()"}},
        {"additive", {"enableBlending()", "setBlendFunc(0,0)"}},
        {"modulating", {"setBlendFunc(2,1)", "enableBlending()"}},
    };
    for (const auto& [name, calls] : modes) {
        FxGLLayerObject modeLayer;
        parameters.text(modeLayer, "textureFilename", picture("red.tga"));
        parameters.text(modeLayer, "alpha", "1");
        parameters.text(modeLayer, "transparency", name);
        testing::internal::CaptureStdout();
        modeLayer.init(screen.renderState(), DemoLimits{});
        testing::internal::GetCapturedStdout();
        RecordingRenderState recording;
        modeLayer.draw(recording);
        EXPECT_EQ(blendingCalls(recording.texts()), calls) << name;
    }
}

TEST_F(LayerTest, UnknownTransparencyIsSaidOnceAndDrawnSolid) {
    give("textureFilename", picture("red.tga"));
    give("alpha", "1");
    give("transparency", "Solid");
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    layer.init(screen.renderState(), DemoLimits{});
    testing::internal::GetCapturedStdout();
    const std::string errors = testing::internal::GetCapturedStderr();
    const std::string message = "FxGLLayerObject: unknown transparency \"Solid\", drawing the layer solid\n";
    EXPECT_NE(errors.find(message), std::string::npos) << errors;
    EXPECT_EQ(errors.find(message), errors.rfind(message));
    EXPECT_EQ(blendingCalls(recordDrawAt(0.0f)), std::vector<std::string>{"disableBlending()"});
}

TEST_F(LayerTest, WithoutParametersEachAbsenceIsReportedInReadingOrderAndNothingIsDrawn) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    layer.init(screen.renderState(), DemoLimits{});
    const std::string output = testing::internal::GetCapturedStdout();
    const std::string errors = testing::internal::GetCapturedStderr();

    std::string expected;
    auto absent = [&expected](const char* name) {
        expected += std::string("Could not find value for parameter ") + name + "\n\n";
    };
    absent("alphaFilename");
    absent("textureFilename");
    expected += "FxGLLayerObject: no textureFilename, the layer draws nothing\n";
    for (const char* name :
         {"alpha", "uscroll", "vscroll", "motionx", "motiony", "sizex", "sizey", "angle", "transparency"})
        absent(name);
    expected += "FxGLLayerObject: no transparency, drawing the layer solid\n";
    EXPECT_EQ(errors, expected);
    EXPECT_EQ(output, "");
    EXPECT_TRUE(recordDrawAt(0.0f).empty());
}

TEST_F(LayerTest, DrawAllocatesNothing) {
    give("textureFilename", picture("halves.tga"));
    give("alpha", "0.5+0.5*sin(t)");
    give("transparency", "modulating");
    give("uscroll", "t");
    give("motionx", "t");
    give("motiony", "0");
    give("sizex", "1");
    give("sizey", "cos(t)");
    give("angle", "t*10");
    initQuietly();
    // Only the layer's own work counts, not what a render state records.
    NullRenderState nothing;
    drawAt(0.1f, nothing);
    const uint64_t before = allocationCount();
    drawAt(0.2f, nothing);
    EXPECT_EQ(allocationCount(), before);
}

}  // namespace
