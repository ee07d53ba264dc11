#include "effects/fx_render_parametric.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <deque>
#include <sstream>
#include <string>
#include <vector>

#include "assets/mesh.h"
#include "assets/texture.h"
#include "effects/mesh_object.h"
#include "framework/demo_limits.h"
#include "support/allocation_counter.h"
#include "support/lwo_bytes.h"
#include "support/null_render_state.h"
#include "support/object_files.h"
#include "support/picture_files.h"
#include "support/recording_render_state.h"

namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<uint8_t> toBytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

bool hasLine(const std::string& text, const std::string& line) {
    const auto lines = linesOf(text);
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

void expectVec(const Vec3& v, float x, float y, float z, float tolerance = 1e-5f) {
    EXPECT_NEAR(v.x, x, tolerance);
    EXPECT_NEAR(v.y, y, tolerance);
    EXPECT_NEAR(v.z, z, tolerance);
}

class FxRenderParametricTest : public testing::Test {
protected:
    ScratchDirectory scratch;

    void SetUp() override {
        texturePath = writeSolidTga("parametric_texture.tga", 2, 2, 200, 100, 50, 255);
        text("textureFilename", texturePath);
    }

    void text(const char* name, const std::string& value) {
        strings.push_back(value);
        effect.setString(name, strings.back().c_str());
    }
    void integer(const char* name, int value) {
        ints.push_back(value);
        effect.setInt(name, &ints.back());
    }
    void number(const char* name, float value) {
        floats.push_back(value);
        effect.setFloat(name, &floats.back());
    }
    void init() {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        effect.init(rs, DemoLimits{});
        err = testing::internal::GetCapturedStderr();
        out = testing::internal::GetCapturedStdout();
    }
    void drawAt(float t) {
        rs.clear();
        effect.setTime(t);
        effect.draw(rs);
    }
    void grid(int columns, int rows, const std::string& function) {
        text("function", function);
        integer("resolutionx", columns);
        integer("resolutiony", rows);
    }

    RecordingRenderState rs;
    FxRenderParametric effect;
    std::deque<std::string> strings;
    std::deque<int> ints;
    std::deque<float> floats;
    std::string texturePath, out, err;
};

}  // namespace

TEST_F(FxRenderParametricTest, OneCellGridHasTheFourCornersTwoTrianglesAndFlatNormals) {
    grid(1, 1, "0");
    init();
    ASSERT_TRUE(effect.isAnimated());
    Mesh* mesh = effect.getMesh();
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->getVertexCount(), 4);
    ASSERT_EQ(mesh->getPolygonCount(), 2);
    const float corners[4][2] = {{-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
    const float start = 0.1f * std::sin(24.0f * std::sqrt(2.0f));
    for (int k = 0; k < 4; ++k) {
        expectVec(mesh->getVertices()[k], corners[k][0], corners[k][1], start);
        EXPECT_FLOAT_EQ(effect.getTexCoords()[k].u, (corners[k][0] + 1) / 2);
        EXPECT_FLOAT_EQ(effect.getTexCoords()[k].v, (corners[k][1] + 1) / 2);
    }
    EXPECT_EQ(std::vector<int32_t>(mesh->getPolygons(), mesh->getPolygons() + 6),
              (std::vector<int32_t>{0, 1, 2, 1, 3, 2}));

    drawAt(1.0f);
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(mesh->getVertices()[k].z, 0.0f);
        expectVec(mesh->getVertexNormals()[k], 0.0f, 0.0f, 1.0f);
    }
}

TEST_F(FxRenderParametricTest, FunctionOfRadiusMakesACone) {
    grid(4, 4, "r");
    init();
    drawAt(0.0f);
    const Vec3* v = effect.getMesh()->getVertices();
    EXPECT_NEAR(v[12].z, 0.0f, 1e-6f);  // centre of the 5 x 5 grid
    for (int corner : {0, 4, 20, 24}) EXPECT_NEAR(v[corner].z, std::sqrt(2.0f), 1e-6f);
}

TEST_F(FxRenderParametricTest, HeightFunctionSeesTheAngleInRadiansAndTheLocalTime) {
    grid(2, 2, "a*10+t");
    init();
    drawAt(0.5f);
    const Vec3* v = effect.getMesh()->getVertices();
    EXPECT_NEAR(v[5].z, 0.5f, 1e-5f);                                 // (1, 0): angle 0
    EXPECT_NEAR(v[7].z, 10 * std::atan2(1.0f, 0.0f) + 0.5f, 1e-5f);   // (0, 1)
    EXPECT_NEAR(v[3].z, 10 * std::atan2(0.0f, -1.0f) + 0.5f, 1e-5f);  // (-1, 0): +pi
}

TEST_F(FxRenderParametricTest, NormalUpdateUsesCentralDifferencesInsideAndCopiesAtTheBorders) {
    grid(4, 2, "x");
    init();
    drawAt(0.0f);
    const Vec3* n = effect.getMesh()->getVertexNormals();
    const float s = std::sqrt(0.5f);
    for (int column = 0; column <= 4; ++column) {
        expectVec(n[column], 0, 0, 1);       // bottom row: copies of column 0
        expectVec(n[10 + column], 0, 0, 1);  // top row
    }
    expectVec(n[5], 0, 0, 1);                                // middle row, column 0
    for (int k = 6; k <= 9; ++k) expectVec(n[k], -s, 0, s);  // inside, and the copy at the last column
}

TEST_F(FxRenderParametricTest, UnusableResolutionsFallBackToThirtyTwoWithAMessage) {
    text("function", "0");
    number("resolutionx", 8.0f);  // written without "%": a float
    integer("resolutiony", 0);
    init();
    EXPECT_EQ(effect.getResolutionX(), 32);
    EXPECT_EQ(effect.getResolutionY(), 32);
    EXPECT_TRUE(hasLine(err, "Could not find value for parameter resolutionx"));
    EXPECT_TRUE(hasLine(err, "resolutiony of 0 is too small, using 32"));
    EXPECT_EQ(effect.getMesh()->getVertexCount(), 33 * 33);
    EXPECT_EQ(effect.getMesh()->getPolygonCount(), 2 * 32 * 32);
}

TEST_F(FxRenderParametricTest, NumericFunctionSelectsObjectModeAndAMissingObjectDrawsNothing) {
    number("function", 3.0f);
    integer("resolutionx", 4);
    init();
    EXPECT_FALSE(effect.isAnimated());
    const auto lines = linesOf(out);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "getting LWO vertices");
    EXPECT_EQ(lines[1], "failed to load lwo file");
    EXPECT_TRUE(hasLine(err, "Could not find value for parameter object"));
    EXPECT_FALSE(hasLine(err, "Could not find value for parameter resolutiony"));
    EXPECT_EQ(effect.getMesh(), nullptr);
    drawAt(1.0f);
    EXPECT_TRUE(rs.calls.empty());
}

// The reader's own lines never name the file; one line on standard error
// does, whatever is wrong with it.
TEST_F(FxRenderParametricTest, AnObjectThatCannotBeReadIsNamedOnStandardError) {
    const std::string empty = testing::TempDir() + "parametric_empty.lwo";
    const std::string damaged = testing::TempDir() + "parametric_damaged.lwo";
    const std::string pointsOnly = testing::TempDir() + "parametric_points.lwo";
    writeBytesToFile(empty, {});
    writeBytesToFile(damaged, {'F', 'O', 'R', 'M', 0, 0, 0, 4, 'L', 'W', 'O', 'X'});
    writeBytesToFile(pointsOnly, lwoFile({lwoPoints({0, 0, 0, 1, 0, 0}), lwoPolygons({{0, 1}})}));
    const std::string unread = "cannot be opened or is shorter than 8 bytes: it is not drawn";
    const std::string noPolygons = "holds no LightWave (LWOB) polygons the player can read: it is not drawn";
    const std::pair<std::string, std::string> cases[] = {
        {"parametric_missing.lwo", unread}, {empty, unread}, {damaged, noPolygons}, {pointsOnly, noPolygons}};
    for (const auto& [path, why] : cases) {
        FxRenderParametric object;
        object.setString("textureFilename", texturePath.c_str());
        object.setString("object", path.c_str());
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        object.init(rs, DemoLimits{});
        const std::string said = testing::internal::GetCapturedStderr();
        testing::internal::GetCapturedStdout();
        EXPECT_TRUE(hasLine(said, "FxRenderParametric: object file " + path + " " + why)) << said;
        EXPECT_EQ(object.getMesh(), nullptr);
    }
    for (const std::string& path : {empty, damaged, pointsOnly}) std::remove(path.c_str());
}

TEST_F(FxRenderParametricTest, ObjectModeMapsPointsOntoASphereAndKeepsOnlyWholeTriangles) {
    const std::string path = testing::TempDir() + "parametric_object.lwo";
    writeBytesToFile(path, lwoFile({lwoPoints({0, 0, 0, 0, 0, 2, 0, -1, 0, 3, 0, 0, 0, 0, -1}),
                                    lwoPolygons({{0, 1, 2, 3}, {2, 3}, {1, 2, 9}, {4, 3, 2}})}));
    text("object", path);
    init();
    const auto lines = linesOf(out);
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[0], "getting LWO vertices");
    EXPECT_EQ(lines[3], "about to close file");
    EXPECT_EQ(lines[4], "object has 5 vertices and 4 triangles");
    EXPECT_TRUE(hasLine(err, "skipped 2 polygons with fewer than three points or unknown points"));

    Mesh* mesh = effect.getMesh();
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->getPolygonCount(), 2);
    EXPECT_EQ(std::vector<int32_t>(mesh->getPolygons(), mesh->getPolygons() + 6),
              (std::vector<int32_t>{0, 1, 2, 4, 3, 2}));
    expectVec(mesh->getVertices()[3], 3, 0, 0);

    const auto& uv = effect.getTexCoords();
    for (const Vec2& c : uv) EXPECT_TRUE(std::isfinite(c.u) && std::isfinite(c.v));
    EXPECT_FLOAT_EQ(uv[1].u, 0.0f);  // +z axis
    EXPECT_FLOAT_EQ(uv[1].v, 0.0f);
    EXPECT_FLOAT_EQ(uv[4].v, 1.0f);   // -z axis
    EXPECT_FLOAT_EQ(uv[2].u, 0.75f);  // -y: an angle
    EXPECT_FLOAT_EQ(uv[2].v, 0.5f);
    EXPECT_FLOAT_EQ(uv[3].u, 0.0f);  // +x has y >= 0: no angle
    for (int i = 0; i < 5; ++i) EXPECT_NEAR(mesh->getVertexNormals()[i].length(), 1.0f, 1e-5f);
    std::remove(path.c_str());
}

TEST_F(FxRenderParametricTest, GltfObjectDrawsWithItsOwnNormalsAndTextureCoordinates) {
    // Normals leaning away from the triangle's own (0, 0, 1), which the
    // player would compute.
    writeBytes("leaning.gltf",
               toBytes(gltfTriangle({0, 0, 0, 2, 0, 0, 0, 2, 0}, {0, 0.6f, 0.8f, 0, 0.6f, 0.8f, 0, 0.6f, 0.8f},
                                    {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f})));
    text("object", "leaning.gltf");
    init();
    EXPECT_TRUE(hasLine(out, "object has 3 vertices and 1 triangles")) << out;
    Mesh* mesh = effect.getMesh();
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->getPolygonCount(), 1);
    for (int i = 0; i < 3; ++i) {
        const Vec3& p = mesh->getVertices()[i];
        expectVec(mesh->getVertexNormals()[i], 0, 0.6f, 0.8f);
        const Vec2& uv = effect.getTexCoords()[static_cast<std::size_t>(i)];
        const int corner = p.x > 1 ? 1 : p.y > 1 ? 2 : 0;
        EXPECT_NEAR(uv.u, 0.1f + 0.2f * corner, 1e-6f);
        EXPECT_NEAR(uv.v, 0.2f + 0.2f * corner, 1e-6f);
    }
}

TEST_F(FxRenderParametricTest, DamagedObjFileIsNamedAndDrawsNothing) {
    writeBytes("broken.obj", toBytes("o Broken\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 9\n"));
    text("object", "broken.obj");
    init();
    EXPECT_TRUE(hasLine(err, "object file 'broken.obj' cannot be read: OBJ: vertex index out of range")) << err;
    EXPECT_TRUE(hasLine(err, "FxRenderParametric: no object to draw"));
    EXPECT_EQ(effect.getMesh(), nullptr);
    drawAt(1.0f);
    EXPECT_TRUE(rs.calls.empty());
}

TEST_F(FxRenderParametricTest, PushbackAndOffsetMoveTheEyeAndSpinTheMesh) {
    grid(1, 1, "0");
    text("position.z", "t+5");
    text("orientation.y", "2*t");
    init();
    effect.onSyncEvent("pushback");
    effect.onSyncEvent("pushback");
    effect.onSyncEvent("offset");
    effect.onSyncEvent("Pushback");
    EXPECT_EQ(effect.getEyeShift(), -10.0f);
    EXPECT_EQ(effect.getSpin(), 55.0f);
    drawAt(1.0f);
    const auto texts = rs.texts();
    ASSERT_GE(texts.size(), 7u);
    EXPECT_EQ(
        std::vector<std::string>(texts.begin(), texts.begin() + 7),
        (std::vector<std::string>{"setPerspective(90,1.33333,0.05,300)", "setMatrixMode(0)", "loadIdentity()",
                                  "setMatrixMode(0)", "loadIdentity()", "translate(-0,-0,4)", "rotate(55,1,0,0)"}));
    EXPECT_EQ(texts[7], "rotate(57,0,1,0)");
}

TEST_F(FxRenderParametricTest, MaterialFollowsTransparentMappingAndEnvironmentParameters) {
    struct Case {
        const char* transparent;
        const char* mapping;  // null: absent
        bool environment;
        int flags;
        std::vector<int> kinds;
    };
    const Case cases[] = {
        {"true", nullptr, false, MaterialSeeThrough, {LayerKindEnvironment}},
        {"True", "PREGENERATED", false, 0, {LayerKindPlain}},
        {"yes", "pregenerated", true, 0, {LayerKindPlain, LayerKindEnvironment}},
        {"true", "spherical", true, MaterialSeeThrough, {LayerKindEnvironment}},
        {"", "", false, 0, {}},
    };
    for (const Case& c : cases) {
        FxRenderParametric e;
        std::deque<std::string> keep{"0", texturePath, c.transparent, c.mapping ? c.mapping : "", texturePath};
        e.setString("function", keep[0].c_str());
        e.setString("textureFilename", keep[1].c_str());
        e.setString("transparent", keep[2].c_str());
        if (c.mapping) e.setString("mapping", keep[3].c_str());
        if (c.environment) e.setString("envFilename", keep[4].c_str());
        rs.clear();
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        e.init(rs, DemoLimits{});
        testing::internal::GetCapturedStderr();
        const std::string printed = testing::internal::GetCapturedStdout();
        const std::string label = std::string(c.transparent) + "/" + (c.mapping ? c.mapping : "absent");
        EXPECT_EQ(e.getMaterial().flags, c.flags) << label;
        std::vector<int> kinds;
        for (const TextureLayer* layer : e.getMaterial().layers) kinds.push_back(layer->kind);
        EXPECT_EQ(kinds, c.kinds) << label;
        EXPECT_EQ(hasLine(printed, "yep, we've got an envmap!"), c.environment) << label;
        // The texture is loaded and uploaded even when no layer shows it.
        EXPECT_EQ(rs.textsOf("createTexture").size(), c.environment ? 2u : 1u) << label;
        if (c.environment && c.kinds.size() == 2) {
            EXPECT_NE(e.getMaterial().layers.back()->texture->textureId(), 0u);
            EXPECT_NE(e.getMaterial().layers.back()->texture, e.getMaterial().layers.front()->texture);
        }
    }
}

TEST_F(FxRenderParametricTest, AlphaPictureBecomesTheTextureAlpha) {
    const std::string alphaPath = writeSolidTga("parametric_alpha.tga", 2, 2, 0, 0, 77, 255);  // blue is byte 0
    grid(1, 1, "0");
    text("alphaFilename", alphaPath);
    init();
    const Image* image = effect.getMaterial().layers.at(0)->texture->getImage();
    ASSERT_EQ(image->pixels.size(), 16u);
    EXPECT_EQ(image->pixels[0], 200);
    EXPECT_EQ(image->pixels[3], 77);
    std::remove(alphaPath.c_str());
}

TEST_F(FxRenderParametricTest, FramesAllocateNothing) {
    grid(8, 8, "sin(x*3+t)*r+cos(a)");
    text("position.z", "2+t");
    text("orientation.x", "t*30");
    init();
    NullRenderState quiet;
    const std::size_t before = allocationCount();
    for (int frame = 0; frame < 3; ++frame) {
        effect.setTime(0.1f * frame);
        effect.draw(quiet);
    }
    EXPECT_EQ(allocationCount(), before);
}
