#include "player/frame_loop.h"

#include <cstdint>
#include <cstdio>

#include "platform/player_context.h"
#include "platform/report.h"
#include "platform/window.h"
#include "player/demo_interface.h"
#include "player/frame_clock.h"
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

bool runFrameLoop(const FrameTiming& timing) {
    const PlayerContext& context = playerContext();
    auto takeEvent = context.takeEvent ? context.takeEvent : takeNextEvent;
    auto setTitle = context.setTitle ? context.setTitle : setWindowTitle;
    auto swapBuffers = context.swapBuffers ? context.swapBuffers : swapWindowBuffers;
    auto fullScreen = context.fullScreen ? context.fullScreen : isFullScreen;

    if (DemoInterface* demo = getDemo()) {
        demo->init();
        demo->catchUpTo(timing.startTime, timing.fixedRate > 0 ? timing.fixedRate : playStepsPerSecond);
    }
    FrameClock clock;
    clock.start();

    FrameObserver* observer = timing.observer;
    int frameNumber = 0;
    int frames = 0;
    float windowStart = 0.0f;
    char title[128];
    for (;;) {
        PendingEvent event = takeEvent();
        if (event == PendingEvent::Quit) return false;
        if (event == PendingEvent::Handled) continue;

        ++frames;
        if (frames % frameRateWindow == 0) {
            frames = 0;
            windowStart = static_cast<float>(clock.seconds());
        }
        // The rate in the title stays the clock's: with fixed steps it shows
        // how fast frames are really made.
        const double demoTime = timing.fixedRate > 0 ? fixedFrameTime(timing.startTime, timing.fixedRate, frameNumber)
                                                     : timing.startTime + clock.seconds();
        // Steps of 1/N s may land a rounding error short of the end time;
        // --start 10 --until 12 at 10 steps a second draws 20 frames, not 21.
        if (demoTime >= timing.endTime - 1e-9) return true;
        const float t = static_cast<float>(demoTime);
        if (observer) observer->frameStarting(frameNumber, t);
        if (!fullScreen()) {
            formatFrameTitle(title, sizeof title, t, frames, clock.seconds(), windowStart);
            setTitle(title);
        }
        if (DemoInterface* demo = getDemo()) {
            demo->drawFrame(t);
            // The frame that ends the demo is never shown.
            if (demo->hasEnded()) return true;
        } else {
            QUARN_REPORT(Output, "rnd was null!\n");
        }
        if (observer && !observer->frameDrawn(frameNumber, t)) return true;
        swapBuffers();
        if (observer) observer->frameShown(frameNumber, t);
        ++frameNumber;
    }
}
