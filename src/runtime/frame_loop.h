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

// Watches the frames of a capture or a benchmark run.
class FrameObserver {
public:
    virtual ~FrameObserver() = default;
    // Before the demo draws frame number frame (counted from 0) at time t.
    virtual void frameStarting(int /*frame*/, float /*t*/) {}
    // The frame is in the back buffer, not yet swapped. False stops the loop.
    virtual bool frameDrawn(int /*frame*/, float /*t*/) { return true; }
    // After the swap.
    virtual void frameShown(int /*frame*/, float /*t*/) {}
};

// Where demo time comes from. The default is the plain player: the frame
// clock from 0.
struct FrameTiming {
    double startTime = 0.0;  // demo time at which the clock (or the steps) begin
    int fixedRate = 0;       // > 0: frame n is at startTime + n / fixedRate, whatever the clock
    FrameObserver* observer = nullptr;
};

// Demo time of frame number frame in fixed steps. Computed from the frame
// number rather than summed, so no rounding error builds up.
double fixedFrameTime(double startTime, int fixedRate, int frame);

// Calls the demo's init, starts the frame clock and draws frames until a
// quit request arrives. Without a demo every frame prints "rnd was null!".
void runFrameLoop();
void runFrameLoop(const FrameLoopPlatform& platform, const FrameTiming& timing = FrameTiming{});

// Restores the display mode and ends the process with status 0.
[[noreturn]] void shutdown();

// The windowed title for time t and the frames counted since windowStart.
// Writes into title (at most size bytes, always terminated).
void formatFrameTitle(char* title, int size, float t, int frames, double now, float windowStart);
