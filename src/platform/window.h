#pragma once
// The one window of the player and its GL context. Only src/platform knows
// the window system behind it.

// Remembers fullScreen and creates the window with a current GL context.
void openWindow(int width, int height, bool fullScreen);
// Viewport and 2D projection for a client size; height 0 counts as 1.
void resizeViewport(int width, int height);
// Returns the display to the user's mode when full screen was asked for.
void restoreDisplayMode();
bool isFullScreen();
// Opaque handles for the title and buffer swaps.
void* getWindowHandle();
void* getDeviceContext();
