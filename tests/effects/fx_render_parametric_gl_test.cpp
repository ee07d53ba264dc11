// The effect drawn for real: GL state, culling and the projection together.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "effects/fx_render_parametric.h"
#include "platform/gl_render_state.h"
#include "platform/player_context.h"
#include "support/gl_context.h"
#include "support/headless_gl.h"
#include "support/picture_files.h"

class FxRenderParametricPixels : public GlContextTest {};

TEST_F(FxRenderParametricPixels, FlatGridFacingTheEyeShowsItsTextureInTheMiddle) {
    ScratchDirectory scratch;
    GlRenderState gl;
    PlayerContextScope context({.renderState = &gl});
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
    effect.init();
    testing::internal::GetCapturedStderr();
    testing::internal::GetCapturedStdout();

    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    effect.setTime(0.0f);
    effect.draw();
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
