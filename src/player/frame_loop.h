#pragma once
// The one frame loop: window events first, then one frame whenever none
// waits. Where a frame's time comes from is a time source (the clock, fixed
// steps, live authoring's pausable time); what a mode does around the
// frames is its observer (a capture writes them, the benchmark times them,
// live authoring reads keys and watches files). The window, the clock and
// the buffer swap come from the import table it is given.
#include <limits>

#include "platform/player_imports.h"
#include "player/frame_clock.h"

class DemoInterface;

// Watches and steers the frames of a run. Every hook does nothing by default.
class FrameObserver {
public:
    virtual ~FrameObserver() = default;
    // A key-down event between frames (the window has handled it already).
    virtual void keyPressed(PlayerKey /*key*/, FrameClock& /*clock*/) {}
    // Before the frame's time is read: work that may take a while.
    virtual void frameComing(FrameClock& /*clock*/) {}
    // Before the demo draws frame number frame (counted from 0) at time t.
    virtual void frameStarting(int /*frame*/, float /*t*/) {}
    // What follows the time and the rate in a windowed title.
    virtual void appendToTitle(char* /*text*/, int /*size*/) {}
    // The frame is in the back buffer, not yet swapped. False stops the loop.
    virtual bool frameDrawn(int /*frame*/, float /*t*/) { return true; }
    // After the swap.
    virtual void frameShown(int /*frame*/, float /*t*/) {}
};

// Where demo time comes from.
class FrameTimeSource {
public:
    virtual ~FrameTimeSource() = default;
    // After the demo's init and before the clock starts: the demo is brought
    // to where the first frame finds it.
    virtual void prepare(DemoInterface& demo) = 0;
    // Demo time of frame number frame; clock runs from the loop's start.
    virtual double frameTime(int frame, FrameClock& clock) = 0;
};

// The clock, from a start time: play and the browser.
class ClockTime : public FrameTimeSource {
public:
    explicit ClockTime(double startTime = 0.0) : startTime(startTime) {}
    void prepare(DemoInterface& demo) override;
    double frameTime(int frame, FrameClock& clock) override;

private:
    double startTime;
};

// Frame n at startTime + n / rate, whatever the clock: capture, benchmark
// and the flash check, which make frames faster or slower than real time.
class FixedSteps : public FrameTimeSource {
public:
    FixedSteps(double startTime, int rate) : startTime(startTime), rate(rate) {}
    void prepare(DemoInterface& demo) override;
    double frameTime(int frame, FrameClock& clock) override;

private:
    double startTime;
    int rate;
};

// Demo time of frame number frame in fixed steps. Computed from the frame
// number rather than summed, so no rounding error builds up; a start on
// the step grid counts in whole steps from 0, so that frame j of a run
// from step m has the very time of frame m + j of a run from 0.
double fixedFrameTime(double startTime, int fixedRate, int frame);

class FrameLoop {
public:
    // demo may be null: every frame then prints "rnd was null!".
    FrameLoop(const PlayerImports& imports, DemoInterface* demo, FrameTimeSource& time,
              FrameObserver* observer = nullptr);

    // The run ends before the first frame at or after this demo time.
    void setEndTime(double t) { endTime = t; }

    // The demo's init, the time source's preparation, the clock's start.
    void begin();

    enum class Step {
        Drawn,  // a frame was drawn and shown
        Quit,   // a quit request arrived
        Ended,  // the demo has ended, the end time came or the observer stopped the run
    };
    // Handles every waiting event, then draws and shows one frame.
    Step step();

    // begin, then steps until the run is over. False when a quit request
    // ended it.
    bool run();

private:
    const PlayerImports& imports;
    DemoInterface* demo;
    FrameTimeSource& time;
    FrameObserver* observer;
    double endTime = std::numeric_limits<double>::infinity();
    FrameClock clock;
    int frameNumber = 0;
    // The title's rate window: frames counted since it began.
    int frames = 0;
    float windowStart = 0.0f;
};

// How play, a capture and a benchmark pass time their frames.
struct FrameTiming {
    double startTime = 0.0;  // demo time at which the clock (or the steps) begin
    int fixedRate = 0;       // > 0: frame n is at startTime + n / fixedRate, whatever the clock
    FrameObserver* observer = nullptr;
    // The run ends before the first frame at or after this demo time.
    double endTime = std::numeric_limits<double>::infinity();
};

// Runs the frame loop over demo with the clock or in fixed steps, as timing
// says, until a quit request arrives, the demo has ended or the observer
// stops the run; then returns, and the caller tears down. False when a
// quit request ended it.
bool runFrameLoop(const PlayerImports& imports, DemoInterface* demo, const FrameTiming& timing = FrameTiming{});

// The windowed title for time t and the frames counted since windowStart.
// Writes into title (at most size bytes, always terminated).
void formatFrameTitle(char* title, int size, float t, int frames, double now, float windowStart);
