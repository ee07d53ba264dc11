#include "platform/window.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#ifndef __EMSCRIPTEN__
#include <GL/glu.h>
#endif

#include <algorithm>
#include <cstdio>

#include "platform/extensions.h"
#include "platform/message_box.h"
#include "platform/picture_area.h"
#include "platform/render_state.h"
#include "platform/report.h"
#include "platform/window_state.h"

namespace {

const char* const windowTitle = "Quarn 2";

SDL_Window* createWindowWithPixelFormat(int width, int height, Uint32 flags) {
    WindowState& state = windowState();
    setupPixelFormat(state.colourBits, state.depthBits);
    SDL_Window* window = SDL_CreateWindow(windowTitle, 0, 0, width, height, flags);
    if (window) return window;
    // The window system had no visual for the requested format.
    showErrorMessage("Failed to choose pixel format");
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    window = SDL_CreateWindow(windowTitle, 0, 0, width, height, flags);
    if (!window) QUARN_REPORTF(Error, "Couldn't create the window: %s\n", SDL_GetError());
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

// The picture's area of a drawable of that size as the viewport.
void setPictureViewport(int width, int height) {
    const PixelArea area = pictureAreaIn(width, height);
    if (RenderState* renderState = windowState().viewportRenderState)
        renderState->setViewport(area.x, area.y, area.width, area.height);
    else  // a tool's context opened before its render state
        glViewport(area.x, area.y, area.width, area.height);
}

// Full screen at the desktop's own resolution. The window takes that size
// first: without a window manager to honour the full-screen request (a bare
// X server) it would otherwise keep its old size.
bool fillDesktop(SDL_Window* window) {
    int display = SDL_GetWindowDisplayIndex(window);
    if (display < 0) display = 0;
    SDL_DisplayMode desktop{};
    if (SDL_GetDesktopDisplayMode(display, &desktop) == 0) SDL_SetWindowSize(window, desktop.w, desktop.h);
    return SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP) == 0;
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
    QUARN_REPORTF(Error, "Couldn't start the window system: %s\n", SDL_GetError());
    return false;
}

bool openWindow(int width, int height, bool fullScreen) { return createGLWindow(width, height, 32, fullScreen); }

bool createGLWindow(int width, int height, int bitsPerPixel, bool fullScreen) {
    WindowState& state = windowState();
    state.fullScreen = fullScreen;
    // X11 keeps a switched mode after the process is gone: every way out
    // returns to main, which restores it.
    if (!startVideo()) return false;

        // A window can be resized, and the picture follows at its new size. In
        // a browser the page sizes the canvas itself.
#ifdef __EMSCRIPTEN__
    const Uint32 resizable = 0;
#else
    const Uint32 resizable = fullScreen ? 0 : SDL_WINDOW_RESIZABLE;
#endif
    state.window = createWindowWithPixelFormat(width, height, SDL_WINDOW_OPENGL | resizable);
    if (!state.window) return false;
    if (fullScreen) {
        // Without a real mode of that size (Wayland has none to switch to)
        // the desktop's own resolution, the picture drawn at it between
        // bars: never a mode the panel stretches to its own shape.
        if (switchDisplay(state.window, width, height, bitsPerPixel) || fillDesktop(state.window))
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
    if (windowState().offScreenFramebuffer) return;
    setPictureViewport(width, height);
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

void useRenderStateForViewport(RenderState* renderState) { windowState().viewportRenderState = renderState; }

void setWindowResizable(bool resizable) {
    if (windowState().window) SDL_SetWindowResizable(windowState().window, resizable ? SDL_TRUE : SDL_FALSE);
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
    // The framebuffer object and its buffers went with the context.
    state.offScreenFramebuffer = state.offScreenColour = state.offScreenDepth = 0;
    state.offScreenWidth = state.offScreenHeight = 0;
}

void closeWindow() {
    WindowState& state = windowState();
    restoreDisplayMode();
    deleteGLContext();
    if (state.window) SDL_DestroyWindow(state.window);
    state.window = nullptr;
    state.fullScreen = false;
}

namespace {

void freeOffScreenBuffers(WindowState& state) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (state.offScreenFramebuffer) glDeleteFramebuffers(1, &state.offScreenFramebuffer);
    if (state.offScreenColour) glDeleteTextures(1, &state.offScreenColour);
    if (state.offScreenDepth) glDeleteRenderbuffers(1, &state.offScreenDepth);
    state.offScreenFramebuffer = state.offScreenColour = state.offScreenDepth = 0;
}

// A complete framebuffer with a depth buffer of that format, or false.
bool attachDepth(WindowState& state, GLenum format, int width, int height) {
    if (state.offScreenDepth) glDeleteRenderbuffers(1, &state.offScreenDepth);
    glGenRenderbuffers(1, &state.offScreenDepth);
    glBindRenderbuffer(GL_RENDERBUFFER, state.offScreenDepth);
    glRenderbufferStorage(GL_RENDERBUFFER, format, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, state.offScreenDepth);
    return glGetError() == GL_NO_ERROR && glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

}  // namespace

bool drawOffScreen(int width, int height) {
    WindowState& state = windowState();
    if (!SDL_GL_GetCurrentContext() || width <= 0 || height <= 0) return false;
    // Asked again (at another size): the window's own depth is measured.
    freeOffScreenBuffers(state);
    while (glGetError() != GL_NO_ERROR) {
    }
    GLint depthBits = 16;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    glGenFramebuffers(1, &state.offScreenFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, state.offScreenFramebuffer);
    // Colour as the window keeps it (blue first), so that blending rounds
    // as it does there and a capture at the window's size is the window's
    // picture to the pixel.
    GLint boundTexture = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundTexture);
    glGenTextures(1, &state.offScreenColour);
    glBindTexture(GL_TEXTURE_2D, state.offScreenColour);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    if (state.gles2)
        glTexImage2D(GL_TEXTURE_2D, 0, GL_BGRA_EXT, width, height, 0, GL_BGRA_EXT, GL_UNSIGNED_BYTE, nullptr);
    else
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(boundTexture));
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, state.offScreenColour, 0);
    // The window's depth precision first, for the same reason; then less.
    bool complete = false;
    for (const GLenum format : {GL_DEPTH_COMPONENT32, GL_DEPTH_COMPONENT24, GL_DEPTH_COMPONENT16}) {
        const int bits = format == GL_DEPTH_COMPONENT32 ? 32 : format == GL_DEPTH_COMPONENT24 ? 24 : 16;
        if (bits > depthBits && format != GL_DEPTH_COMPONENT16) continue;
        if ((complete = attachDepth(state, format, width, height))) break;
        while (glGetError() != GL_NO_ERROR) {
        }
    }
    if (!complete) {
        freeOffScreenBuffers(state);
        QUARN_REPORTF(Error, "Couldn't make an off-screen framebuffer of %dx%d\n", width, height);
        return false;
    }
    state.offScreenWidth = width;
    state.offScreenHeight = height;
    setPictureViewport(width, height);
    return true;
}

bool desktopResolution(int& width, int& height) {
    if (!startVideo()) return false;
    SDL_DisplayMode mode{};
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0 || mode.w <= 0 || mode.h <= 0) return false;
    width = mode.w;
    height = mode.h;
    return true;
}

int largestDrawableSide() {
    if (!startVideo()) return 0;
    WindowState& state = windowState();
    setupPixelFormat(state.colourBits, state.depthBits);
    SDL_Window* probe = SDL_CreateWindow(windowTitle, 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (!probe) return 0;
    SDL_GLContext context = SDL_GL_CreateContext(probe);
    int largest = 0;
    if (context) {
        GLint renderbuffer = 0, viewport[2] = {0, 0};
        glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer);
        glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
        largest = std::min({renderbuffer, viewport[0], viewport[1]});
        SDL_GL_MakeCurrent(probe, nullptr);
        SDL_GL_DeleteContext(context);
    }
    SDL_DestroyWindow(probe);
    return largest;
}
