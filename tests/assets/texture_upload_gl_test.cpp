// Reads uploads back from a real GL context; switches itself on once the GL
// render state and the GL test fixture are in the tree.
#if __has_include("platform/gl_render_state.h") && __has_include("support/gl_context.h")
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "assets/texture.h"
#include "platform/gl_render_state.h"
#include "support/captured_console.h"
#include "support/gl_context.h"
#include "support/gl_test_screen.h"
#include "support/headless_gl.h"
#include "support/picture_files.h"

namespace {

using Bytes = std::vector<uint8_t>;

class TextureUploadTest : public GlContextTest {
protected:
    std::unique_ptr<Texture> load(bool mipmaps, std::string* out = nullptr) {
        ScratchDirectory scratch;
        // B,G,R,A in the file; the file's first row is the picture's bottom.
        writeBytes("pic.tga",
                   tgaFile(2, 2, 2, 32, {0, 0, 255, 255, 0, 255, 0, 255, 255, 0, 0, 255, 255, 255, 255, 255}));
        std::unique_ptr<Texture> texture;
        CapturedConsole console = captureConsole([&] {
            texture = TextureManager().loadTexture("pic.tga", mipmaps);
            texture->upload(state);
        });
        if (out) *out = console.out;
        return texture;
    }

    GlRenderState state;
};

GLint textureParameter(GLenum name) {
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

TEST_F(TextureUploadTest, GlHoldsTheRgbaPixelsAndDrawsThemUpright) {
    std::unique_ptr<Texture> texture = load(false);
    ASSERT_NE(texture->textureId(), 0u);
    const Bytes& pixels = texture->getImage()->pixels;
    // Memory rows: the file's second row (blue, white) comes first.
    ASSERT_EQ(pixels, (Bytes{0, 0, 255, 255, 255, 255, 255, 255, 255, 0, 0, 255, 0, 255, 0, 255}));

    glBindTexture(GL_TEXTURE_2D, texture->textureId());
    Bytes stored(16);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, stored.data());
    EXPECT_EQ(stored, pixels);
    EXPECT_EQ(textureParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(textureParameter(GL_TEXTURE_WRAP_T), GL_REPEAT);

    // Memory row 0 is texture row t = 0, drawn at the bottom of this quad.
    glViewport(0, 0, 2, 2);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(-1, -1);
    glTexCoord2f(1, 0);
    glVertex2f(1, -1);
    glTexCoord2f(1, 1);
    glVertex2f(1, 1);
    glTexCoord2f(0, 1);
    glVertex2f(-1, 1);
    glEnd();
    const Bytes drawn = readFramebufferRGBA(0, 0, 2, 2);  // bottom row first
    ASSERT_EQ(drawn.size(), 16u);
    for (size_t i = 0; i < 4; ++i)
        for (size_t c = 0; c < 3; ++c) EXPECT_EQ(drawn[i * 4 + c], pixels[i * 4 + c]) << "pixel " << i;
}

TEST_F(TextureUploadTest, MipmappedTexturesBuildEveryLevel) {
    std::string out;
    std::unique_ptr<Texture> texture = load(true, &out);
    EXPECT_NE(out.find("building 2d mipmaps...\n"), std::string::npos);
    glBindTexture(GL_TEXTURE_2D, texture->textureId());
    EXPECT_EQ(textureParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    GLint smallest = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &smallest);
    EXPECT_EQ(smallest, 1);
}

// A texture frees its GL name when it goes, through either render state,
// so that rebuilt effect trees do not pile up textures.
TEST(TextureRelease, AGoneTextureLeavesNoGlTexture) {
    QUARN_SKIP_WITHOUT_DISPLAY();
    for (TestRenderer renderer : {TestRenderer::FixedFunction, TestRenderer::Gles2}) {
        GlTestScreen screen(renderer);
        ASSERT_TRUE(screen.isOpen());
        auto texture = std::make_unique<Texture>(std::make_unique<Image>(Image{{1, 2, 3, 4}, 1, 1, {}}), false);
        const GLuint first = texture->upload(screen.renderState());
        // A second upload replaces the first texture.
        const GLuint second = texture->upload(screen.renderState());
        EXPECT_FALSE(glIsTexture(first)) << int(renderer);
        EXPECT_TRUE(glIsTexture(second)) << int(renderer);
        texture.reset();
        EXPECT_FALSE(glIsTexture(second)) << int(renderer);
    }
}

}  // namespace

#endif
