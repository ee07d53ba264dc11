#include "platform/framebuffer.h"

#include <GL/gl.h>
#include <SDL.h>

std::vector<uint8_t> readFramebufferRGBA(int x, int y, int width, int height) {
    if (width <= 0 || height <= 0 || !SDL_GL_GetCurrentContext()) return {};
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
    readFramebufferInto(pixels.data(), x, y, width, height);
    return pixels;
}

bool readFramebufferInto(uint8_t* rgba, int x, int y, int width, int height) {
    if (width <= 0 || height <= 0 || !SDL_GL_GetCurrentContext()) return false;
    // The back buffer is read, GL's choice for a double-buffered window that
    // nothing here changes. Rows of four-byte pixels are packed the same at
    // any alignment, so the render state's pixel packing is left as it is.
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return true;
}
