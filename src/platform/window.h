#pragma once
// The one window of the player and its GL context. Only src/platform knows
// the window system behind it.

class RenderState;

// Remembers fullScreen and creates the window with a current GL context.
// False, with the reason on stderr, when there is no window: the player
// must not play on unseen.
bool openWindow(int width, int height, bool fullScreen);
// Registers with the window system, switches the display when fullScreen and
// creates the shown window with its GL context current. On a failed display
// switch the window is windowed but the remembered full-screen flag stays.
// False when the window system or the window could not be had.
bool createGLWindow(int width, int height, int bitsPerPixel, bool fullScreen);
// Requests a double-buffered RGBA format with these sizes for GL windows
// created from now on (compatibility profile).
void setupPixelFormat(int colourBits, int depthBits);
// GL windows and hidden contexts created from now on get an OpenGL ES 2
// context (for Gles2RenderState) when true, else the compatibility profile.
void requestGLES2Contexts(bool gles2);
// Viewport and 2D projection for a client size; height 0 counts as 1. The
// viewport is the picture's 4:3 area (platform/picture_area.h); while
// drawing off screen the window's size changes nothing.
void resizeViewport(int width, int height);
// The render state that sets the viewport from now on; without one (a tool
// opening a context first) the viewport is set directly.
void useRenderStateForViewport(RenderState* renderState);
// Draws from now on into an off-screen framebuffer of width x height, with
// colour and depth as the window's, and reads frames back from there: the
// screen's size no longer limits a capture. False, with the reason on
// stderr, when the GL cannot make one.
bool drawOffScreen(int width, int height);
// The desktop's resolution; false without a window system.
bool desktopResolution(int& width, int& height);
// The longest side the GL can draw into, window or framebuffer object, as a
// hidden context of the kind requested tells; 0 when there is no GL.
int largestDrawableSide();
// Returns the display to the user's mode when full screen was asked for.
// Safe to call more than once.
void restoreDisplayMode();
bool isFullScreen();
// Opaque handles for the title and buffer swaps.
void* getWindowHandle();
void* getDeviceContext();

void setWindowTitle(const char* title);
// Windows open resizable; a run that reads its frames back at a fixed size
// keeps its window as it is.
void setWindowResizable(bool resizable);
void swapWindowBuffers();
// Whether this thread has a current GL context (the player's window's or
// any other).
bool hasCurrentGLContext();
// Deletes the GL context (the window stays until closeWindow).
void deleteGLContext();
// Restores the display and destroys window and context; openWindow may run again.
void closeWindow();
