#pragma once
// The window layer's process-wide state, shared by its source files only.
#include <SDL.h>

struct WindowState {
    bool fullScreen = false;  // as asked for, even when the switch failed
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    int colourBits = 32;
    int depthBits = 16;
    bool gles2 = false;  // an OpenGL ES 2 context instead of the compatibility profile
    // Drawing off screen (a capture or benchmark at a size of its own): the
    // framebuffer object and its buffers, 0 while drawing into the window.
    unsigned offScreenFramebuffer = 0;
    unsigned offScreenColour = 0;  // a texture
    unsigned offScreenDepth = 0;
    int offScreenWidth = 0;
    int offScreenHeight = 0;
    class RenderState* viewportRenderState = nullptr;  // sets the viewport; null: glViewport
    // Set while the tool overlay is open (not in every build): it hears the
    // input events too, and says when a text field of it has the keyboard.
    void (*passToToolOverlay)(const SDL_Event& event) = nullptr;
    bool toolOverlayTyping = false;
};

WindowState& windowState();
// Starts SDL's video part once; false (with the reason on stderr) if it cannot.
bool startVideo();
// The window procedure: what the player does with one event of its queue.
void handleWindowEvent(const SDL_Event& event);
