#include "runtime/frame_loop.h"

#include <cstdio>
#include <cstdlib>

#include "platform/window.h"
#include "runtime/demo_interface.h"
#include "runtime/frame_clock.h"

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

void runFrameLoop() { runFrameLoop(FrameLoopPlatform{}); }

void runFrameLoop(const FrameLoopPlatform& platform) {
    auto setTitle = platform.setTitle ? platform.setTitle : setWindowTitle;
    auto swapBuffers = platform.swapBuffers ? platform.swapBuffers : swapWindowBuffers;
    auto fullScreen = platform.fullScreen ? platform.fullScreen : isFullScreen;

    if (DemoInterface* demo = getDemo()) demo->init();
    FrameClock::start();

    int frames = 0;
    float windowStart = 0.0f;
    char title[128];
    for (;;) {
        PendingEvent event = platform.takeEvent();
        if (event == PendingEvent::Quit) return;
        if (event == PendingEvent::Handled) continue;

        ++frames;
        if (frames % frameRateWindow == 0) {
            frames = 0;
            windowStart = static_cast<float>(FrameClock::seconds());
        }
        const float t = static_cast<float>(FrameClock::seconds());
        if (!fullScreen()) {
            formatFrameTitle(title, sizeof title, t, frames, FrameClock::seconds(), windowStart);
            setTitle(title);
        }
        if (DemoInterface* demo = getDemo())
            demo->drawFrame(t);
        else
            std::printf("rnd was null!\n");
        swapBuffers();
    }
}

void shutdown() {
    restoreDisplayMode();
    std::exit(0);
}
