#pragma once
// The benchmark run. A first pass times every frame as played: nothing waits
// for the GL inside a frame. A second pass over the same frames times every
// effect draw between two GL finishes and charges it to its type. Then a
// table and a one-line summary.
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "framework/effect_draw_observer.h"
#include "platform/player_imports.h"
#include "player/frame_loop.h"
#include "recording/frame_statistics.h"

struct EffectTypeTimes {
    std::string typeName;
    int draws = 0;
    double totalMilliseconds = 0.0;
    double maxMilliseconds = 0.0;
};

// What the second pass spent in one whole second of demo time.
struct SecondCost {
    int frames = 0;
    std::vector<double> byType;  // milliseconds, indexed like effectTypes
};

struct BenchmarkFigures {
    int stepRate = 60;                         // frames per demo second
    std::vector<FrameSample> frames;           // the first pass, as played
    std::vector<EffectTypeTimes> effectTypes;  // the second pass, in the order first drawn
    std::map<int, SecondCost> secondCosts;     // the second pass, by floor(t)
    double floorMilliseconds = 0.0;            // a frame that only clears and swaps
    double startUpMilliseconds = 0.0;          // process start to the first frame shown
};

// The table and, as its last line, the summary.
std::string formatBenchmarkReport(const BenchmarkFigures& figures);

class BenchmarkSession : public FrameObserver, public EffectDrawObserver {
public:
    // processStart: a reading of the imports' now taken when the process
    // began. The clock, the GL finish and the buffer swap of the empty
    // frames come from the imports.
    BenchmarkSession(const PlayerImports& imports, int stepRate, double processStart);

    // From now on frames belong to the second pass, whose draws are timed.
    void startDrawPass();

    void frameStarting(int frame, float t) override;
    void frameShown(int frame, float t) override;
    void beforeDraw(Effect& effect) override;
    void afterDraw(Effect& effect) override;

    // Measures the floor (some empty frames) and returns the report.
    std::string finish();
    const BenchmarkFigures& getFigures() const { return figures; }

private:
    PlayerImports imports;
    BenchmarkFigures figures;
    double processStart;
    bool drawPass = false;
    double lastFrameEnd = 0.0;
    double drawStart = 0.0;
    bool sawFirstFrame = false;
    SecondCost* currentSecond = nullptr;
    std::unordered_map<const Effect*, std::size_t> typeIndexOf;
};

// The steady clock in seconds, for the process start reading.
double steadySeconds();

class DemoInterface;
class Music;

// Both passes: the frames of timing over demo, timed as played; then, if
// they ran to their end, the same frames from a demo loaded afresh with the
// music from its start again, mixed nowhere, each effect draw timed. False
// when a quit request ended either.
bool runBenchmark(const PlayerImports& imports, DemoInterface& demo, Music& music, const FrameTiming& timing,
                  BenchmarkSession& benchmark);
