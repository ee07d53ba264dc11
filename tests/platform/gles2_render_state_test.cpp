// The OpenGL ES 2 render state draws the bundled demo as the fixed-function
// one does: the same moments rendered through both, each pair within 30 dB.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "platform/framebuffer.h"
#include "platform/gl_render_state.h"
#include "platform/gles2_render_state.h"
#include "platform/window.h"
#include "player/demo.h"
#include "player/music.h"
#include "support/gl_context.h"
#include "support/headless_gl.h"
#include "support/hidden_draws_frame.h"

namespace {

// One moment of every scene, and each effect type at least twice.
const float moments[] = {3.0f, 9.0f, 25.0f, 47.0f, 64.0f, 97.0f, 129.0f, 165.0f, 207.0f, 241.0f};

double psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    double squared = 0.0;
    size_t samples = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        if (i % 4 == 3) continue;  // alpha is not seen
        const double d = static_cast<double>(a[i]) - b[i];
        squared += d * d;
        ++samples;
    }
    if (squared == 0.0) return 99.0;
    return 10.0 * std::log10(255.0 * 255.0 / (squared / static_cast<double>(samples)));
}

// Frames of the moments, the demo stepped every second in between so sync
// events arrive at the same frames whichever backend draws.
std::vector<std::vector<uint8_t>> renderMoments(RenderState& renderState) {
    std::vector<std::vector<uint8_t>> frames;
    setRenderState(&renderState);
    testing::internal::CaptureStdout();
    Music music;
    auto demo = std::make_unique<Demo>("test.dat", music);
    demo->init();
    int steps = 0;
    for (float moment : moments) {
        for (float t = static_cast<float>(steps); t < moment; t = static_cast<float>(++steps)) demo->drawFrame(t);
        demo->drawFrame(moment);
        frames.push_back(readFramebufferRGBA(0, 0, 640, 480));
        swapHeadlessGLBuffers();
    }
    testing::internal::GetCapturedStdout();
    demo.reset();
    music.release();
    setRenderState(nullptr);
    return frames;
}

bool openGles2Context() {
    requestGLES2Contexts(true);
    const bool opened = openHeadlessGLContext(640, 480);
    requestGLES2Contexts(false);
    return opened;
}

TEST(Gles2RenderState, DrawsTheBundledDemoAsTheFixedFunctionPipelineDoes) {
    QUARN_SKIP_WITHOUT_DISPLAY();
    const char* source = std::getenv("QUARN_SOURCE_DIR");
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(std::filesystem::path(source ? source : ".") / "demo");
    setenv("SDL_AUDIODRIVER", "dummy", 1);

    ASSERT_TRUE(openHeadlessGLContext(640, 480));
    GlRenderState fixedFunction;
    const auto expected = renderMoments(fixedFunction);
    closeHeadlessGLContext();

    ASSERT_TRUE(openGles2Context()) << "no OpenGL ES 2 context";
    Gles2RenderState shaders;
    const auto actual = renderMoments(shaders);
    closeHeadlessGLContext();

    unsetenv("SDL_AUDIODRIVER");
    std::filesystem::current_path(previous);
    for (size_t i = 0; i < std::size(moments); ++i) {
        const double db = psnr(expected[i], actual[i]);
        std::printf("t=%.1f: %.1f dB\n", moments[i], db);
        EXPECT_GE(db, 30.0) << "at t=" << moments[i];
    }
}

TEST(Gles2RenderState, HiddenDrawsLeaveNeitherStateNorPicture) {
    QUARN_SKIP_WITHOUT_DISPLAY();
    ASSERT_TRUE(openGles2Context()) << "no OpenGL ES 2 context";
    Gles2RenderState state;
    expectHiddenDrawsLeaveNoTrace(state);
    closeHeadlessGLContext();
}

}  // namespace
