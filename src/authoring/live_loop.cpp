#include "authoring/live_loop.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <thread>

#include "authoring/file_watcher.h"
#include "authoring/live_demo.h"
#include "authoring/timeline_overlay.h"
#include "platform/events.h"
#include "platform/tool_overlay.h"
#include "player/demo.h"
#include "player/frame_clock.h"
#include "player/frame_loop.h"
#include "player/sync_catch_up.h"

namespace {

// Watching costs a stat of each file this often, not every frame.
constexpr double watchInterval = 0.1;
constexpr std::size_t maxOverlayFindings = 100;

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

void formatLiveTitleSuffix(char* text, std::size_t size, bool paused, bool reloadFailed, int errors) {
    if (errors > 0) {
        std::snprintf(text, size, "%s%s%d error%s ", paused ? "paused " : "", reloadFailed ? "reload failed " : "",
                      errors, errors == 1 ? "" : "s");
    } else {
        std::snprintf(text, size, "%s%s", paused ? "paused " : "", reloadFailed ? "reload failed " : "");
    }
}

std::vector<OverlayLine> checkFindingsOverlay(const std::vector<std::string>& findings) {
    std::vector<OverlayLine> lines;
    if (findings.empty()) return lines;
    int errors = 0;
    for (const std::string& finding : findings) errors += finding.find(": error: ") != std::string::npos;
    const int warnings = static_cast<int>(findings.size()) - errors;
    const auto counted = [](int count, const char* what) {
        return std::to_string(count) + " " + what + (count == 1 ? "" : "s");
    };
    lines.push_back(OverlayLine{
        "--check: " + counted(errors, "error") + ", " + counted(warnings, "warning") + " (C hides this list)", 200, 200,
        200});
    // More than a window holds would only cost drawing time every frame.
    const std::size_t shown = std::min(findings.size(), maxOverlayFindings);
    for (std::size_t i = 0; i < shown; ++i) {
        if (findings[i].find(": error: ") != std::string::npos)
            lines.push_back(OverlayLine{findings[i], 255, 110, 110});
        else
            lines.push_back(OverlayLine{findings[i], 255, 220, 110});
    }
    if (shown < findings.size())
        lines.push_back(
            OverlayLine{"... and " + std::to_string(findings.size() - shown) + " more on the console", 200, 200, 200});
    return lines;
}

namespace {

// Live authoring on the frame loop: its time source (the demo's time, which
// the keys pause and move) and its observer (the keys, the watch over the
// demo's files, the title's additions and the findings drawn over the
// picture).
class LiveSession : public FrameTimeSource, public FrameObserver {
public:
    LiveSession(LiveDemo& demo, double startTime, const std::string& folder)
        : demo(demo), startTime(startTime), folder(folder), time(startTime, demoEndTime) {}

    void prepare(DemoInterface&) override {
        overlay = checkFindingsOverlay(demo.checkFindings());
        // Started inside the fade: the music as faded by then (a seek
        // catches the effects up as well).
        if (startTime > demo.times().fadeOut)
            demo.seek(static_cast<float>(startTime), static_cast<float>(startTime));
        else
            demo.catchUpTo(startTime, playStepsPerSecond);
        watcher.watch(demo.watchedFiles());
        time = LiveTime(startTime, demo.times().end);
        timeline.demoRead(demo, true);
    }

    double frameTime(int, FrameClock& clock) override { return time.at(clock.seconds()); }

    void keyPressed(PlayerKey key, FrameClock& clock) override {
        const double reading = clock.seconds();
        const double now = time.at(reading);
        if (timeline.handleKey(key, now, demo)) return;
        if (key == PlayerKey::Space) {
            if (time.isPaused()) {
                time.run(reading);
                demo.resume();
            } else {
                time.hold(reading);
                demo.pause();
            }
        } else if (key == PlayerKey::Home || seekStep(key) != 0.0) {
            seekTo(key == PlayerKey::Home ? 0.0 : now + seekStep(key), now, clock);
        } else if (key == PlayerKey::R) {
            followFolder(folder);
            reload({}, now);
        } else if (key == PlayerKey::C) {
            overlayShown = !overlayShown;
        }
    }

    void frameComing(FrameClock& clock) override {
        // Asked for by a click on the timeline as the last frame was drawn.
        if (timelineSeek) {
            seekTo(*timelineSeek, time.at(clock.seconds()), clock);
            timelineSeek.reset();
        }
        const double now = clock.seconds();
        // A reload may have moved the end.
        time.setEnd(demo.times().end);
        if (!time.isPaused() && time.at(now) >= time.getEnd()) {
            time.moveTo(time.getEnd(), now);
            time.hold(now);
            demo.pause();
        }
        if (now < nextWatch) return;
        nextWatch = now + watchInterval;
        // Entered anew, the folder's files count as changed once they hold
        // still.
        followFolder(folder);
        const std::vector<std::string> changed = watcher.poll();
        // The music plays on while reading: time does too, so that picture
        // and music stay together.
        if (!changed.empty()) reload(changed, time.at(now));
    }

    void appendToTitle(char* text, int size) override {
        formatLiveTitleSuffix(text, static_cast<std::size_t>(size), time.isPaused(), demo.reloadFailed(),
                              demo.checkErrors());
    }

    bool frameDrawn(int, float t) override {
        const TimelineRequest request = drawLiveTools(timeline, overlayShown ? overlay : noLines, demo, t);
        if (request.seekTo) timelineSeek = request.seekTo;
        return true;
    }

    void frameShown(int, float) override {
        // Nothing moves while paused: no need to draw flat out.
        if (time.isPaused()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }

private:
    // Every seek: the music and the effects as a run from 0 has them at
    // target, and time on from there.
    void seekTo(double target, double now, FrameClock& clock) {
        target = std::clamp(target, 0.0, time.getEnd());
        demo.seek(static_cast<float>(now), static_cast<float>(target));
        // Counted from after the seek, which may have decoded music.
        time.moveTo(target, clock.seconds());
    }

    void reload(const std::vector<std::string>& changed, double now) {
        const int musicLoads = demo.musicLoads();
        demo.reload(changed, static_cast<float>(now));
        // R reads the tree again but keeps the music playing: its waveform
        // is made again only for music loaded again.
        timeline.demoRead(demo, demo.musicLoads() != musicLoads);
        watcher.watch(demo.watchedFiles());
        overlay = checkFindingsOverlay(demo.checkFindings());
    }

    LiveDemo& demo;
    double startTime;
    const std::string& folder;
    LiveTime time;
    FileWatcher watcher;
    std::vector<OverlayLine> overlay;
    const std::vector<OverlayLine> noLines;
    bool overlayShown = true;
    TimelineOverlay timeline;
    std::optional<double> timelineSeek;
    double nextWatch = 0.0;
};

}  // namespace

void runLiveLoop(const PlayerImports& imports, LiveDemo& demo, double startTime, const std::string& folder) {
    LiveSession session(demo, startTime, folder);
    FrameLoop loop(imports, &demo, session, &session);
    loop.run();
}
