#include "support/headless_gl.h"

#include <cstdio>

#include "platform/extensions.h"
#include "platform/window.h"
#include "platform/window_state.h"

namespace {
SDL_Window* hiddenWindow = nullptr;
SDL_GLContext hiddenContext = nullptr;
}  // namespace

bool openHeadlessGLContext(int width, int height) {
    closeHeadlessGLContext();
    if (width <= 0 || height <= 0 || !startVideo()) return false;
    setupPixelFormat(32, 16);
    hiddenWindow = SDL_CreateWindow("Quarn 2 (hidden)", 0, 0, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!hiddenWindow) {
        std::fprintf(stderr, "Couldn't create a hidden GL window: %s\n", SDL_GetError());
        return false;
    }
    hiddenContext = SDL_GL_CreateContext(hiddenWindow);
    if (!hiddenContext) {
        std::fprintf(stderr, "Couldn't create a GL context: %s\n", SDL_GetError());
        closeHeadlessGLContext();
        return false;
    }
    SDL_GL_MakeCurrent(hiddenWindow, hiddenContext);
    // The same start state the player's window has.
    initExtensions();
    resizeViewport(width, height);
    return true;
}

void closeHeadlessGLContext() {
    if (hiddenContext) {
        SDL_GL_MakeCurrent(hiddenWindow, nullptr);
        SDL_GL_DeleteContext(hiddenContext);
        hiddenContext = nullptr;
    }
    if (hiddenWindow) SDL_DestroyWindow(hiddenWindow);
    hiddenWindow = nullptr;
}

void swapHeadlessGLBuffers() {
    if (hiddenWindow && hiddenContext) SDL_GL_SwapWindow(hiddenWindow);
}
