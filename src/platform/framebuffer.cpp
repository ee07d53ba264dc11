#include "platform/framebuffer.h"

#include <GL/gl.h>
#include <SDL.h>

#include "platform/window_state.h"

std::vector<uint8_t> readFramebufferRGBA(int x, int y, int width, int height) {
    if (width <= 0 || height <= 0 || !SDL_GL_GetCurrentContext()) return {};
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
    readFramebufferInto(pixels.data(), x, y, width, height);
    return pixels;
}

bool readFramebufferInto(uint8_t* rgba, int x, int y, int width, int height) {
    if (width <= 0 || height <= 0 || !SDL_GL_GetCurrentContext()) return false;
    // A framebuffer object has no back buffer: it reads its one colour
    // attachment.
    if (!windowState().offScreenFramebuffer) glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return true;
}
