#pragma once
// The benchmark run: times every frame and every effect draw (each draw
// between two GL finishes), then prints a table and a one-line summary.
#include <string>
#include <unordered_map>
#include <vector>

#include "framework/effect_draw_observer.h"
#include "runtime/frame_loop.h"
#include "runtime/frame_statistics.h"

struct EffectTypeTimes {
    std::string typeName;
    int draws = 0;
    double totalMilliseconds = 0.0;
    double maxMilliseconds = 0.0;
};

struct BenchmarkFigures {
    int stepRate = 60;  // frames per demo second
    std::vector<FrameSample> frames;
    std::vector<EffectTypeTimes> effectTypes;  // in the order first drawn
    double floorMilliseconds = 0.0;            // a frame that only clears and swaps
    double startUpMilliseconds = 0.0;          // process start to the first frame shown
};

// The table and, as its last line, the summary.
std::string formatBenchmarkReport(const BenchmarkFigures& figures);

class BenchmarkSession : public FrameObserver, public EffectDrawObserver {
public:
    // processStart: a reading of the clock taken when the process began.
    // Clock, GL finish and the empty frame come from the player context
    // (by default the steady clock, glFinish and the player's window).
    BenchmarkSession(int stepRate, double processStart);

    void frameStarting(int frame, float t) override;
    void frameShown(int frame, float t) override;
    void beforeDraw(Effect& effect) override;
    void afterDraw(Effect& effect) override;

    // Measures the floor (some empty frames) and returns the report.
    std::string finish();
    const BenchmarkFigures& getFigures() const { return figures; }

private:
    double now() const;
    void waitForGL() const;

    BenchmarkFigures figures;
    double processStart;
    double frameStart = 0.0;
    double drawStart = 0.0;
    bool sawFirstFrame = false;
    std::unordered_map<const Effect*, std::size_t> typeIndexOf;
};

// The steady clock in seconds, for the process start reading.
double steadySeconds();
