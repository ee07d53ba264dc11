#include "platform/window.h"

#include <GL/gl.h>
#ifndef __EMSCRIPTEN__
#include <GL/glu.h>
#endif

#include <cstdio>

#include "platform/extensions.h"
#include "platform/message_box.h"
#include "platform/window_state.h"

namespace {

const char* const windowTitle = "Quarn 2";

SDL_Window* createWindowWithPixelFormat(int width, int height) {
    WindowState& state = windowState();
    setupPixelFormat(state.colourBits, state.depthBits);
    SDL_Window* window = SDL_CreateWindow(windowTitle, 0, 0, width, height, SDL_WINDOW_OPENGL);
    if (window) return window;
    // The window system had no visual for the requested format.
    showErrorMessage("Failed to choose pixel format");
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    window = SDL_CreateWindow(windowTitle, 0, 0, width, height, SDL_WINDOW_OPENGL);
    if (!window) std::fprintf(stderr, "Couldn't create the window: %s\n", SDL_GetError());
    return window;
}

// A real mode switch to exactly width x height. X11 cannot change the colour
// depth, so bitsPerPixel is met only as far as the desktop's depth allows.
bool switchDisplay(SDL_Window* window, int width, int height, int bitsPerPixel) {
    int display = SDL_GetWindowDisplayIndex(window);
    if (display < 0) display = 0;
    SDL_DisplayMode wanted{};
    wanted.w = width;
    wanted.h = height;
    SDL_DisplayMode closest{};
    // SDL would settle for a larger mode; only the exact size counts.
    if (!SDL_GetClosestDisplayMode(display, &wanted, &closest)) return false;
    if (closest.w != width || closest.h != height) return false;
    if (SDL_BITSPERPIXEL(closest.format) < 24 && bitsPerPixel >= 24) return false;
    if (SDL_SetWindowDisplayMode(window, &closest) != 0) return false;
    return SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN) == 0;
}

}  // namespace

WindowState& windowState() {
    static WindowState state;
    return state;
}

bool startVideo() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    // Only a real window system: without a display SDL would otherwise fall
    // back to drawing off screen and the demo would play unseen. A driver
    // the user names in SDL_VIDEODRIVER still wins over this hint. A
    // browser's canvas is seen too; the desktop's SDL has no such driver.
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11,wayland,emscripten");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) return true;
    std::fprintf(stderr, "Couldn't start the window system: %s\n", SDL_GetError());
    return false;
}

bool openWindow(int width, int height, bool fullScreen) { return createGLWindow(width, height, 32, fullScreen); }

bool createGLWindow(int width, int height, int bitsPerPixel, bool fullScreen) {
    WindowState& state = windowState();
    state.fullScreen = fullScreen;
    // X11 keeps a switched mode after the process is gone: every way out
    // returns to main, which restores it.
    if (!startVideo()) return false;

    state.window = createWindowWithPixelFormat(width, height);
    if (!state.window) return false;
    if (fullScreen) {
        if (switchDisplay(state.window, width, height, bitsPerPixel))
            SDL_ShowCursor(SDL_DISABLE);
        else
            showErrorMessage("Couldn't change display settings");
    }

    state.context = SDL_GL_CreateContext(state.window);
    if (!state.context) {
        showErrorMessage("Failed to set pixel format");
        return true;
    }
    SDL_GL_MakeCurrent(state.window, state.context);
    // Texture units must be selectable even when no effect asks for this.
    initExtensions();
    // The first size notification, before the first frame.
    int drawableWidth = width, drawableHeight = height;
    SDL_GL_GetDrawableSize(state.window, &drawableWidth, &drawableHeight);
    resizeViewport(drawableWidth, drawableHeight);
    return true;
}

void setupPixelFormat(int colourBits, int depthBits) {
    WindowState& state = windowState();
    state.colourBits = colourBits;
    state.depthBits = depthBits;
    const int channelBits = colourBits >= 24 ? 8 : colourBits >= 15 ? 5 : 4;
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, channelBits);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, channelBits);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, channelBits);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, colourBits >= 32 ? 8 : 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depthBits);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    if (state.gles2) {
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
        return;
    }
    // OpenGL 1.1 calls, GLU and ARB multitexture need the old pipeline.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
}

void requestGLES2Contexts(bool gles2) { windowState().gles2 = gles2; }

void resizeViewport(int width, int height) {
    if (height == 0) height = 1;
    if (!SDL_GL_GetCurrentContext()) return;
    glViewport(0, 0, width, height);
#ifndef __EMSCRIPTEN__
    // An ES 2 context has no matrices; its render state keeps its own.
    if (windowState().gles2) return;
    glLoadIdentity();
    gluOrtho2D(0.0, width, 0.0, height);
#endif
}

void restoreDisplayMode() {
    WindowState& state = windowState();
    if (!state.fullScreen || !SDL_WasInit(SDL_INIT_VIDEO)) return;
    if (state.window && (SDL_GetWindowFlags(state.window) & SDL_WINDOW_FULLSCREEN))
        SDL_SetWindowFullscreen(state.window, 0);
    SDL_ShowCursor(SDL_ENABLE);
}

bool isFullScreen() { return windowState().fullScreen; }
void* getWindowHandle() { return windowState().window; }
void* getDeviceContext() { return windowState().context; }

void setWindowTitle(const char* title) {
    if (windowState().window) SDL_SetWindowTitle(windowState().window, title);
}

void swapWindowBuffers() {
    WindowState& state = windowState();
    if (state.window && state.context) SDL_GL_SwapWindow(state.window);
}

bool hasCurrentGLContext() { return SDL_GL_GetCurrentContext() != nullptr; }

void deleteGLContext() {
    WindowState& state = windowState();
    if (!state.context) return;
    SDL_GL_MakeCurrent(state.window, nullptr);
    SDL_GL_DeleteContext(state.context);
    state.context = nullptr;
}

void closeWindow() {
    WindowState& state = windowState();
    restoreDisplayMode();
    deleteGLContext();
    if (state.window) SDL_DestroyWindow(state.window);
    state.window = nullptr;
    state.fullScreen = false;
}
