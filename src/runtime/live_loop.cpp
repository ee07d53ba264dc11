#include "runtime/live_loop.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "platform/events.h"
#include "platform/window.h"
#include "runtime/demo.h"
#include "runtime/file_watcher.h"
#include "runtime/frame_clock.h"
#include "runtime/frame_loop.h"
#include "runtime/live_demo.h"

namespace {

constexpr int frameRateWindow = 32;
// Watching costs a stat of each file this often, not every frame.
constexpr double watchInterval = 0.1;

// Demo time: runs with the clock from a base, or holds while paused.
class LiveTime {
public:
    LiveTime(double start, double endTime) : end(endTime), base(std::clamp(start, 0.0, endTime)) {}
    void setEnd(double newEnd) { end = newEnd; }
    double getEnd() const { return end; }
    double at(double clock) const { return paused ? base : base + (clock - baseClock); }
    bool isPaused() const { return paused; }
    void hold(double clock) {
        base = at(clock);
        paused = true;
    }
    void run(double clock) {
        baseClock = clock;
        paused = false;
    }
    void moveTo(double time, double clock) {
        base = std::clamp(time, 0.0, end);
        baseClock = clock;
    }

private:
    double end;
    double base;
    double baseClock = 0.0;
    bool paused = false;
};

double seekStep(PlayerKey key) {
    switch (key) {
    case PlayerKey::Left:
        return -1.0;
    case PlayerKey::Right:
        return 1.0;
    case PlayerKey::Down:
        return -10.0;
    case PlayerKey::Up:
        return 10.0;
    default:
        return 0.0;
    }
}

}  // namespace

const char* liveTitleSuffix(bool paused, bool reloadFailed) {
    if (paused && reloadFailed) return "paused reload failed ";
    if (paused) return "paused ";
    if (reloadFailed) return "reload failed ";
    return "";
}

void runLiveLoop(LiveDemo& demo, double startTime) {
    demo.init();
    // Started inside the fade: the music as faded by then.
    if (startTime > demo.times().fadeOut) demo.seek(static_cast<float>(startTime), static_cast<float>(startTime));
    FileWatcher watcher;
    watcher.watch(demo.watchedFiles());
    FrameClock frameClock;
    frameClock.start();

    LiveTime time(startTime, demo.times().end);
    double nextWatch = 0.0;
    int frames = 0;
    float windowStart = 0.0f;
    char title[160];
    for (;;) {
        PlayerKey key = PlayerKey::None;
        const PendingEvent event = takeNextKeyEvent(key);
        if (event == PendingEvent::Quit) return;
        if (event == PendingEvent::Handled) {
            const double clock = frameClock.seconds();
            const double now = time.at(clock);
            if (key == PlayerKey::Space) {
                if (time.isPaused()) {
                    time.run(clock);
                    demo.resume();
                } else {
                    time.hold(clock);
                    demo.pause();
                }
            } else if (key == PlayerKey::Home || seekStep(key) != 0.0) {
                const double target =
                    std::clamp(key == PlayerKey::Home ? 0.0 : now + seekStep(key), 0.0, time.getEnd());
                demo.seek(static_cast<float>(now), static_cast<float>(target));
                // Counted from after the seek, which may have decoded music.
                time.moveTo(target, frameClock.seconds());
            } else if (key == PlayerKey::R) {
                demo.reload({}, static_cast<float>(now));
                watcher.watch(demo.watchedFiles());
            }
            continue;
        }

        double clock = frameClock.seconds();
        // A reload may have moved the end.
        time.setEnd(demo.times().end);
        if (!time.isPaused() && time.at(clock) >= time.getEnd()) {
            time.moveTo(time.getEnd(), clock);
            time.hold(clock);
            demo.pause();
        }
        if (clock >= nextWatch) {
            nextWatch = clock + watchInterval;
            const std::vector<std::string> changed = watcher.poll();
            if (!changed.empty()) {
                const double now = time.at(clock);
                demo.reload(changed, static_cast<float>(now));
                watcher.watch(demo.watchedFiles());
                // The music played on while reading: time does too, so
                // that picture and music stay together.
                clock = frameClock.seconds();
            }
        }

        ++frames;
        if (frames % frameRateWindow == 0) {
            frames = 0;
            windowStart = static_cast<float>(clock);
        }
        const float t = static_cast<float>(time.at(clock));
        formatFrameTitle(title, sizeof title, t, frames, frameClock.seconds(), windowStart);
        std::snprintf(title + std::strlen(title), sizeof title - std::strlen(title), "%s",
                      liveTitleSuffix(time.isPaused(), demo.reloadFailed()));
        setWindowTitle(title);
        demo.drawFrame(t);
        swapWindowBuffers();
        // Nothing moves while paused: no need to draw flat out.
        if (time.isPaused()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}
