// Particle clouds drawn into a real GL context (needs a display, e.g. Xvfb).
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "effects/fx_render_particles.h"
#include "framework/demo_limits.h"
#include "platform/gl_render_state.h"
#include "support/gl_context.h"
#include "support/headless_gl.h"
#include "support/picture_files.h"

namespace {

struct Rgb {
    int r, g, b;
};

class ParticlePixelsTest : public GlContextTest {
protected:
    GlRenderState gl;
    ScratchDirectory scratch;
    int count = 1;
    const std::string texturePath = "sprite.tga";
    std::vector<uint8_t> frame;

    // Sprites seen from (0, 0, 20): at that distance one unit covers 12
    // pixels (480 rows span 40 units at 90 degrees).
    void drawCloud(int sprites, const char* centreX, const char* alpha, uint8_t r, uint8_t g, uint8_t b) {
        count = sprites;
        std::vector<uint8_t> pixels;
        for (int i = 0; i < 16; ++i) pixels.insert(pixels.end(), {b, g, r, 255});
        writeBytes(texturePath, tgaFile(2, 4, 4, 32, pixels));
        FxRenderParticles fx;
        fx.setInt("numParticles", &count);
        fx.setString("textureFilename", texturePath.c_str());
        fx.setString("position.z", "20");
        fx.setString("particle.size", "3");
        fx.setString("particle.x", centreX);
        fx.setString("alpha", alpha);
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        fx.init(gl, DemoLimits{});
        testing::internal::GetCapturedStdout();
        testing::internal::GetCapturedStderr();

        gl.setClearColor(Color(0, 0, 0));
        gl.clearColorBuffer();
        gl.clearDepthBuffer();
        fx.setTime(0.0f);
        fx.draw(gl);
        frame = readFramebufferRGBA(0, 0, 640, 480);
    }
    // x from the left, y from the bottom.
    Rgb pixel(int x, int y) const {
        const uint8_t* p = &frame[(size_t(y) * 640 + x) * 4];
        return {p[0], p[1], p[2]};
    }
    void expectPixel(int x, int y, Rgb expected) const {
        Rgb got = pixel(x, y);
        EXPECT_NEAR(got.r, expected.r, 2) << "at " << x << "," << y;
        EXPECT_NEAR(got.g, expected.g, 2) << "at " << x << "," << y;
        EXPECT_NEAR(got.b, expected.b, 2) << "at " << x << "," << y;
    }
};

TEST_F(ParticlePixelsTest, OneSpriteCoversItsSquareInTextureColourTimesBrightness) {
    drawCloud(1, "0", "0.5", 200, 100, 50);
    ASSERT_EQ(frame.size(), 640u * 480u * 4u);
    // Half-size 3 is 36 pixels around the centre (320, 240).
    for (int dx : {-33, 0, 33})
        for (int dy : {-33, 0, 33}) expectPixel(320 + dx, 240 + dy, {100, 50, 25});
    for (auto [x, y] : {std::pair{320 - 39, 240}, {320 + 39, 240}, {320, 240 - 39}, {320, 240 + 39}, {10, 10}})
        expectPixel(x, y, {0, 0, 0});
}

TEST_F(ParticlePixelsTest, OverlappingSpritesAdd) {
    // Sprite 0 spans x 284..356, sprite 1 (centre x = 3 units) 320..392.
    drawCloud(2, "3*i", "1", 100, 60, 20);
    expectPixel(300, 240, {100, 60, 20});
    expectPixel(338, 240, {200, 120, 40});
    expectPixel(380, 240, {100, 60, 20});
    expectPixel(400, 240, {0, 0, 0});
}

}  // namespace
