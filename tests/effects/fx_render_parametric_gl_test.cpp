// The effect drawn for real: GL state, culling and the projection together.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <deque>
#include <string>
#include <vector>

#include "effects/fx_render_parametric.h"
#include "framework/demo_limits.h"
#include "platform/gl_render_state.h"
#include "support/gl_context.h"
#include "support/headless_gl.h"
#include "support/lwo_bytes.h"
#include "support/picture_files.h"

class FxRenderParametricPixels : public GlContextTest {};

TEST_F(FxRenderParametricPixels, FlatGridFacingTheEyeShowsItsTextureInTheMiddle) {
    ScratchDirectory scratch;
    GlRenderState gl;
    const std::deque<std::string> values{"0", writeSolidTga("parametric_pixels.tga", 4, 4, 255, 0, 0, 255),
                                         "pregenerated", "1"};
    int two = 2;
    FxRenderParametric effect;
    effect.setString("function", values[0].c_str());
    effect.setInt("resolutionx", &two);
    effect.setInt("resolutiony", &two);
    effect.setString("textureFilename", values[1].c_str());
    effect.setString("mapping", values[2].c_str());
    effect.setString("position.z", values[3].c_str());  // one unit in front of the grid
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    effect.init(gl, DemoLimits{});
    testing::internal::GetCapturedStderr();
    testing::internal::GetCapturedStdout();

    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    effect.setTime(0.0f);
    effect.draw(gl);
    const std::vector<uint8_t> pixels = readFramebufferRGBA(0, 0, 640, 480);
    auto at = [&](int x, int y) {
        const uint8_t* p = &pixels[(y * 640 + x) * 4];
        return std::vector<int>{p[0], p[1], p[2]};
    };
    // At 90 degrees vertical field of view the grid's -1..1 fills the height
    // and x from 80 to 560; its front faces the eye, so culling keeps it.
    const std::vector<int> red{255, 0, 0}, black{0, 0, 0};
    EXPECT_EQ(at(320, 240), red);
    EXPECT_EQ(at(100, 20), red);
    EXPECT_EQ(at(540, 460), red);
    EXPECT_EQ(at(60, 240), black);
    EXPECT_EQ(at(580, 240), black);
}

namespace {

// The frame of a cube object turned to show three faces, with a gradient
// picture mapped by its texture coordinates and mirrored as its environment
// (which follows the normals).
std::vector<uint8_t> drawCubeObject(const std::string& objectFile, const std::string& picture) {
    GlRenderState gl;
    const std::deque<std::string> values{objectFile, picture, "4", "30", "40", "pregenerated"};
    FxRenderParametric effect;
    effect.setString("object", values[0].c_str());
    effect.setString("textureFilename", values[1].c_str());
    effect.setString("position.z", values[2].c_str());
    effect.setString("orientation.x", values[3].c_str());
    effect.setString("orientation.y", values[4].c_str());
    effect.setString("mapping", values[5].c_str());
    effect.setString("envFilename", values[1].c_str());
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    effect.init(gl, DemoLimits{});
    testing::internal::GetCapturedStderr();
    testing::internal::GetCapturedStdout();
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    effect.setTime(0.0f);
    effect.draw(gl);
    return readFramebufferRGBA(0, 0, 640, 480);
}

}  // namespace

TEST_F(FxRenderParametricPixels, CubeDrawsTheSameFromLightWaveAndFromObj) {
    ScratchDirectory scratch;
    const std::string picture = "gradient.tga";
    writeTgaFile(picture, 64, 64, [](int x, int y) {
        return Rgba{static_cast<uint8_t>(x * 4), static_cast<uint8_t>(y * 4), static_cast<uint8_t>((x ^ y) * 4), 255};
    });
    // The same eight corners and six faces: LightWave triangles, and the
    // quads a modelling tool writes, one of them with indices counted back.
    const std::vector<std::vector<uint16_t>> quads{{0, 1, 2, 3}, {4, 7, 6, 5}, {0, 4, 5, 1},
                                                   {1, 5, 6, 2}, {2, 6, 7, 3}, {3, 7, 4, 0}};
    std::vector<std::vector<uint16_t>> triangles;
    for (const auto& q : quads) {
        triangles.push_back({q[0], q[1], q[2]});
        triangles.push_back({q[0], q[2], q[3]});
    }
    const std::vector<float> corners{-1, -1, -1, 1, -1, -1, 1, 1, -1, -1, 1, -1,
                                     -1, -1, 1,  1, -1, 1,  1, 1, 1,  -1, 1, 1};
    writeBytesToFile("cube.lwo", lwoFile({lwoPoints(corners), lwoPolygons(triangles)}));
    std::string obj = "# exported\no Cube\n";
    for (std::size_t i = 0; i < corners.size(); i += 3)
        obj += "v " + std::to_string(corners[i]) + " " + std::to_string(corners[i + 1]) + " " +
               std::to_string(corners[i + 2]) + "\n";
    obj += "s off\n";
    for (std::size_t f = 0; f < quads.size(); ++f) {
        obj += "f";
        for (uint16_t index : quads[f]) obj += " " + std::to_string(f == 5 ? int(index) - 8 : index + 1);
        obj += "\n";
    }
    writeBytes("cube.obj", std::vector<uint8_t>(obj.begin(), obj.end()));

    const std::vector<uint8_t> lightWave = drawCubeObject("cube.lwo", picture);
    const std::vector<uint8_t> wavefront = drawCubeObject("cube.obj", picture);
    double squares = 0.0;
    std::size_t lit = 0;
    for (std::size_t i = 0; i < lightWave.size(); i += 4) {
        if (lightWave[i] + lightWave[i + 1] + lightWave[i + 2] > 0) ++lit;
        for (std::size_t c = 0; c < 3; ++c) {
            const double d = double(lightWave[i + c]) - double(wavefront[i + c]);
            squares += d * d;
        }
    }
    ASSERT_GT(lit, lightWave.size() / 4 / 20) << "the cube is hardly drawn";
    const double meanSquare = squares / (lightWave.size() / 4 * 3);
    const double psnr = meanSquare == 0.0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / meanSquare);
    EXPECT_GE(psnr, 40.0);
}
