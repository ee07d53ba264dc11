#pragma once
// The frame loop: window events first, then one frame whenever none waits.
// The window comes from the player context: its events, title, buffer
// swap and full-screen flag.
#include <limits>

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
    // The run ends before the first frame at or after this demo time.
    double endTime = std::numeric_limits<double>::infinity();
};

// Demo time of frame number frame in fixed steps. Computed from the frame
// number rather than summed, so no rounding error builds up; a start on
// the step grid counts in whole steps from 0, so that frame j of a run
// from step m has the very time of frame m + j of a run from 0.
double fixedFrameTime(double startTime, int fixedRate, int frame);

// Calls the demo's init, starts the frame clock and draws frames until a
// quit request arrives, the demo has ended or the observer stops the run;
// then returns, and the caller tears down. Without a demo every frame
// prints "rnd was null!". False when a quit request ended it.
bool runFrameLoop(const FrameTiming& timing = FrameTiming{});

// The windowed title for time t and the frames counted since windowStart.
// Writes into title (at most size bytes, always terminated).
void formatFrameTitle(char* title, int size, float t, int frames, double now, float windowStart);
