#include "player/frame_loop.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/report.h"
#include "player/demo_interface.h"
#include "player/sync_catch_up.h"

namespace {
constexpr int frameRateWindow = 32;
}

void formatFrameTitle(char* title, int size, float t, int frames, double now, float windowStart) {
    const double elapsed = now - windowStart;
    // The window start is kept as a float and may round past the reading;
    // a rate from no time at all is shown as 0 rather than inf or -0.
    const double rate = frames > 0 && elapsed > 0.0 ? frames / elapsed : 0.0;
    std::snprintf(title, static_cast<size_t>(size), "Quarn time: %.3f fps: %.3f ", t, rate);
}

double fixedFrameTime(double startTime, int fixedRate, int frame) {
    const int64_t firstStep = firstStepFrom(startTime, fixedRate);
    if (static_cast<double>(firstStep) / fixedRate - startTime < 1e-9)
        return static_cast<double>(firstStep + frame) / fixedRate;
    return startTime + static_cast<double>(frame) / fixedRate;
}

void ClockTime::prepare(DemoInterface& demo) { demo.catchUpTo(startTime, playStepsPerSecond); }

double ClockTime::frameTime(int, FrameClock& clock) { return startTime + clock.seconds(); }

void FixedSteps::prepare(DemoInterface& demo) { demo.catchUpTo(startTime, rate); }

double FixedSteps::frameTime(int frame, FrameClock&) { return fixedFrameTime(startTime, rate, frame); }

FrameLoop::FrameLoop(const PlayerImports& imports, DemoInterface* demo, FrameTimeSource& time, FrameObserver* observer)
    : imports(imports),
      demo(demo),
      time(time),
      observer(observer),
      clock(imports.clockCounter, imports.clockFrequency) {}

void FrameLoop::begin() {
    if (demo) {
        demo->init();
        time.prepare(*demo);
    }
    clock.start();
}

FrameLoop::Step FrameLoop::step() {
    for (;;) {
        PlayerKey key = PlayerKey::None;
        const PendingEvent event = imports.takeEvent(key);
        if (event == PendingEvent::Quit) return Step::Quit;
        if (event == PendingEvent::None) break;
        if (observer && key != PlayerKey::None) observer->keyPressed(key, clock);
    }
    if (observer) observer->frameComing(clock);

    ++frames;
    if (frames % frameRateWindow == 0) {
        frames = 0;
        windowStart = static_cast<float>(clock.seconds());
    }
    // The rate in the title stays the clock's: with fixed steps it shows
    // how fast frames are really made.
    const double demoTime = time.frameTime(frameNumber, clock);
    // Steps of 1/N s may land a rounding error short of the end time;
    // --start 10 --until 12 at 10 steps a second draws 20 frames, not 21.
    if (demoTime >= endTime - 1e-9) return Step::Ended;
    const float t = static_cast<float>(demoTime);
    if (observer) observer->frameStarting(frameNumber, t);
    if (!imports.fullScreen()) {
        char title[160];
        formatFrameTitle(title, sizeof title, t, frames, clock.seconds(), windowStart);
        const int used = static_cast<int>(std::strlen(title));
        if (observer) observer->appendToTitle(title + used, static_cast<int>(sizeof title) - used);
        imports.setTitle(title);
    }
    if (demo) {
        demo->drawFrame(t);
        // The frame that ends the demo is never shown.
        if (demo->hasEnded()) return Step::Ended;
    } else {
        QUARN_REPORT(Output, "rnd was null!\n");
    }
    if (observer && !observer->frameDrawn(frameNumber, t)) return Step::Ended;
    imports.swapBuffers();
    if (observer) observer->frameShown(frameNumber, t);
    ++frameNumber;
    return Step::Drawn;
}

bool FrameLoop::run() {
    begin();
    for (;;) {
        const Step result = step();
        if (result == Step::Quit) return false;
        if (result == Step::Ended) return true;
    }
}

bool runFrameLoop(const PlayerImports& imports, DemoInterface* demo, const FrameTiming& timing) {
    ClockTime clockTime(timing.startTime);
    FixedSteps steps(timing.startTime, timing.fixedRate);
    FrameTimeSource& time = timing.fixedRate > 0 ? static_cast<FrameTimeSource&>(steps) : clockTime;
    FrameLoop loop(imports, demo, time, timing.observer);
    loop.setEndTime(timing.endTime);
    return loop.run();
}
