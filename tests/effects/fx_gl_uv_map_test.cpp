// The UV distortion grid: its size and the points the mapping sees, what a
// viewer sees under a real GL context, and the state set at the start of draw.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "effects/fx_gl_uv_map.h"
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
constexpr Rgba blue{0, 0, 255, 255};

// Remembers every point it is asked about and maps it to itself.
struct RecordingUVFunction : UVFunction {
    std::vector<std::array<float, 5>> points;
    RecordingUVFunction() { points.reserve(4096); }
    Vec2 map(float x, float y, float r, float a, float t) override {
        points.push_back({x, y, r, a, t});
        return {x, y};
    }
};

class UVMapTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        directory = makeScratchDirectory();
        // Top half red, bottom half blue.
        writeTgaFile(directory + "/updown.tga", 64, 64, [](int, int y) { return y < 32 ? red : blue; });
    }

    static void TearDownTestSuite() { std::filesystem::remove_all(directory); }

    void SetUp() override { ASSERT_TRUE(screen.isOpen()); }

    // An initialised UV map showing the picture through the identity
    // expressions; the resolution is left absent when null.
    std::unique_ptr<FxGLUVMap> makeMap(const int* resolution) { return makeMap(resolution, screen.renderState()); }
    std::unique_ptr<FxGLUVMap> makeMap(const int* resolution, RenderState& renderState) {
        auto map = std::make_unique<FxGLUVMap>();
        parameters.text(*map, "textureFilename", directory + "/updown.tga");
        if (resolution) parameters.integer(*map, "resolution", *resolution);
        parameters.text(*map, "u", "x*0.5+0.5");
        parameters.text(*map, "v", "y*0.5+0.5");
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        map->init(renderState, DemoLimits{});
        testing::internal::GetCapturedStdout();
        lastErrors = testing::internal::GetCapturedStderr();
        return map;
    }

    static std::string directory;
    GlTestScreen screen;
    EffectParameters parameters;
    std::string lastErrors;
};

std::string UVMapTest::directory;

TEST_F(UVMapTest, ResolutionSetsTheGridAndTheNumberOfMappedPoints) {
    struct Case {
        int resolution;  // 1000: absent
        int columns, rows;
        std::string message;
    };
    const std::vector<Case> cases = {
        {1000, 64, 48, "Could not find value for parameter resolution\n\n"},
        {1, 64, 48, ""},
        {3, 21, 16, ""},
        {48, 1, 1, ""},  // two grid points, no quad
        {65, 0, 0, ""},  // nothing evaluated
        {0, 64, 48, "FxGLUVMap: resolution 0 is below 1, using 1\n"},
        {-2, 64, 48, "FxGLUVMap: resolution -2 is below 1, using 1\n"},
    };
    for (const Case& c : cases) {
        auto map = makeMap(c.resolution == 1000 ? nullptr : &c.resolution);
        EXPECT_EQ(lastErrors, c.message) << c.resolution;
        EXPECT_EQ(map->getColumns(), c.columns) << c.resolution;
        EXPECT_EQ(map->getRows(), c.rows) << c.resolution;
        auto function = std::make_unique<RecordingUVFunction>();
        RecordingUVFunction& seen = *function;
        map->useFunction(std::move(function));
        map->draw(screen.renderState());
        EXPECT_EQ(seen.points.size(), static_cast<size_t>((c.rows + 1) * c.columns)) << c.resolution;
    }
}

TEST_F(UVMapTest, TheMappingSeesAnUndistortedPlaneWithYDownTheScreen) {
    const int resolution = 3;  // 21 columns, 16 rows
    auto map = makeMap(&resolution);
    auto function = std::make_unique<RecordingUVFunction>();
    RecordingUVFunction& seen = *function;
    map->useFunction(std::move(function));
    map->setTime(2.5f);
    map->draw(screen.renderState());
    ASSERT_EQ(seen.points.size(), 17u * 21u);

    auto point = [&seen](int i, int j) { return seen.points[j * 21 + i]; };
    // First point of the first grid row: both coordinates over half the column count.
    EXPECT_FLOAT_EQ(point(0, 0)[0], -10.0f / 10.5f);
    EXPECT_FLOAT_EQ(point(0, 0)[1], 8.0f / 10.5f);
    // The centre point is the origin.
    EXPECT_EQ(point(10, 8), (std::array<float, 5>{0.0f, 0.0f, 0.0f, 0.0f, 2.5f}));
    // Polar form of a lower-left point (the last grid row has the lowest y).
    const auto lowerLeft = point(0, 16);
    EXPECT_FLOAT_EQ(lowerLeft[1], -8.0f / 10.5f);
    EXPECT_FLOAT_EQ(lowerLeft[2], std::hypot(lowerLeft[0], lowerLeft[1]));
    EXPECT_FLOAT_EQ(lowerLeft[3], std::atan2(lowerLeft[1], lowerLeft[0]));
    EXPECT_LT(lowerLeft[3], -1.5707964f);
    // The grid keeps what the mapping returned.
    EXPECT_FLOAT_EQ(map->gridPoint(20, 16).u, 10.0f / 10.5f);
    EXPECT_FLOAT_EQ(map->gridPoint(20, 16).v, -8.0f / 10.5f);
}

TEST_F(UVMapTest, IdentityMappingShowsThePictureUprightWithStripsAtTheSides) {
    auto map = makeMap(nullptr);
    screen.clear(0, 0, 0);
    map->draw(screen.renderState());

    EXPECT_TRUE(colourNear(screen.pixel(320, 470), red));
    EXPECT_TRUE(colourNear(screen.pixel(320, 10), blue));
    // 1/64 of the view's width is 5 columns on either side.
    EXPECT_TRUE(colourNear(screen.pixel(2, 470), black));
    EXPECT_TRUE(colourNear(screen.pixel(8, 470), red));
    EXPECT_TRUE(colourNear(screen.pixel(637, 10), black));
    EXPECT_TRUE(colourNear(screen.pixel(631, 10), blue));
}

TEST_F(UVMapTest, CoarseGridsWidenTheStripsAndTheCoarsestDrawsNothing) {
    const int three = 3;
    auto coarse = makeMap(&three);
    screen.clear(0, 0, 0);
    coarse->draw(screen.renderState());
    // 1/21 of the width is about 15 columns.
    EXPECT_TRUE(colourNear(screen.pixel(12, 470), black));
    EXPECT_TRUE(colourNear(screen.pixel(18, 470), red));
    EXPECT_TRUE(colourNear(screen.pixel(627, 10), black));
    EXPECT_TRUE(colourNear(screen.pixel(621, 10), blue));

    const int fortyEight = 48;
    auto single = makeMap(&fortyEight);
    screen.clear(0, 0, 0);
    single->draw(screen.renderState());
    for (int y : {10, 240, 470}) EXPECT_TRUE(colourNear(screen.pixel(320, y), black)) << y;
}

TEST_F(UVMapTest, DrawSetsProjectionAndStateFirstAndRestoresNothing) {
    RecordingRenderState recording;
    {
        auto map = makeMap(nullptr, recording);
        recording.clear();
        map->draw(recording);
    }
    const std::vector<std::string> expected = {
        "setMatrixMode(1)",     "loadIdentity()",    "ortho(-1,1,-1,1,0,-2)", "setMatrixMode(0)",
        "loadIdentity()",       "disableLighting()", "disableDepthTest()",    "disableCulling()",
        "selectTextureUnit(0)", "bindTexture(1)",    "setTexEnv(2)",          "setTextureFilter(2)",
    };
    // Then the quads, all in one array draw.
    const std::vector<std::string> calls = recording.texts();
    ASSERT_GE(calls.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + expected.size()), expected);
    EXPECT_EQ(recording.textsOf("setVertexArray").size(), 1u);
    EXPECT_EQ(recording.textsOf("drawQuads"), std::vector<std::string>{"drawQuads(12096)"});
}

TEST_F(UVMapTest, WithoutAPictureItSaysSoAndDrawsNothing) {
    FxGLUVMap map;
    parameters.text(map, "u", "x");
    parameters.text(map, "v", "y");
    testing::internal::CaptureStderr();
    map.init(screen.renderState(), DemoLimits{});
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Could not find value for parameter resolution\n\n"
              "Could not find value for parameter textureFilename\n\n"
              "FxGLUVMap: no textureFilename, the effect draws nothing\n");
    RecordingRenderState recording;
    map.draw(recording);
    EXPECT_TRUE(recording.calls.empty());
}

// Without a GL context the GL calls do nothing, so only the effect's own
// work is counted (Mesa's immediate mode allocates inside the driver).
TEST(UVMapWithoutGL, DrawAllocatesNothing) {
    NullRenderState nothing;
    const std::string directory = makeScratchDirectory();
    writeTgaFile(directory + "/plain.tga", 4, 4, [](int, int) { return red; });
    EffectParameters parameters;
    FxGLUVMap map;
    parameters.text(map, "textureFilename", directory + "/plain.tga");
    parameters.text(map, "u", "x*0.5+0.5+sin(r*4-t)*0.1");
    parameters.text(map, "v", "y*0.5+0.5+cos(a*3+t)*0.1");
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    map.init(nothing, DemoLimits{});
    testing::internal::GetCapturedStdout();
    testing::internal::GetCapturedStderr();

    map.setTime(1.0f);
    map.draw(nothing);
    const uint64_t before = allocationCount();
    map.setTime(1.1f);
    map.draw(nothing);
    EXPECT_EQ(allocationCount(), before);
    std::filesystem::remove_all(directory);
}

}  // namespace
