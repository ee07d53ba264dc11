#include "platform/back_buffer_picture.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL.h>

bool drawIntoBackBuffer(RenderState& renderState, const uint8_t* rgba, int width, int height) {
    if (width <= 0 || height <= 0 || !SDL_GL_GetCurrentContext()) return false;
    int profile = 0;
    if (SDL_GL_GetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, &profile) == 0 && profile == SDL_GL_CONTEXT_PROFILE_ES)
        return false;
    // The pixels go in as they are: no test, blend or texture may touch them.
    // Fog, alpha and stencil tests, the colour mask, the draw buffer and the
    // pixel zoom keep GL's starting values: nothing in the player changes them.
    renderState.beginOutsideDraws();
    glWindowPos2i(0, 0);
    glDrawPixels(width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    renderState.endOutsideDraws();
    return true;
}
