#pragma once
// The frame loop: window events first, then one frame whenever none waits.
#include "platform/events.h"

// What the loop needs of the window; the defaults are the player's window.
struct FrameLoopPlatform {
    PendingEvent (*takeEvent)() = takeNextEvent;
    void (*setTitle)(const char* title) = nullptr;  // null: the player's window
    void (*swapBuffers)() = nullptr;                // null: the player's window
    bool (*fullScreen)() = nullptr;                 // null: as the window was opened
};

// Calls the demo's init, starts the frame clock and draws frames until a
// quit request arrives. Without a demo every frame prints "rnd was null!".
void runFrameLoop();
void runFrameLoop(const FrameLoopPlatform& platform);

// Restores the display mode and ends the process with status 0.
[[noreturn]] void shutdown();

// The windowed title for time t and the frames counted since windowStart.
// Writes into title (at most size bytes, always terminated).
void formatFrameTitle(char* title, int size, float t, int frames, double now, float windowStart);
