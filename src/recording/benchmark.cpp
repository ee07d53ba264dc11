#include "recording/benchmark.h"

#include <chrono>
#include <cmath>
#include <cstdio>

#include "framework/effect.h"
#include "platform/audio_device.h"
#include "platform/report.h"
#include "player/demo.h"
#include "player/music.h"

namespace {

constexpr int floorFrames = 120;

void appendLine(std::string& text, const char* format, auto... values) {
    char line[256];
    std::snprintf(line, sizeof line, format, values...);
    text += line;
}

}  // namespace

double steadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

BenchmarkSession::BenchmarkSession(const PlayerImports& imports, RenderState& renderState, int stepRate,
                                   double processStart)
    : imports(imports), renderState(renderState), processStart(processStart) {
    figures.stepRate = stepRate;
    // A whole demo at 60 steps a second, so frames rarely reallocate.
    figures.frames.reserve(16384);
}

void BenchmarkSession::startDrawPass() { drawPass = true; }

void BenchmarkSession::frameStarting(int, float t) {
    if (drawPass) {
        currentSecond = &figures.secondCosts[static_cast<int>(std::floor(t))];
        ++currentSecond->frames;
        return;
    }
    // A frame lasts from the end of the one before: the events, the title
    // and the swap are part of what the viewer waits for.
    if (!sawFirstFrame) lastFrameEnd = imports.now();
}

void BenchmarkSession::frameShown(int, float t) {
    if (drawPass) return;
    const double end = imports.now();
    figures.frames.push_back(FrameSample{t, (end - lastFrameEnd) * 1000.0});
    lastFrameEnd = end;
    if (!sawFirstFrame) {
        sawFirstFrame = true;
        figures.startUpMilliseconds = (end - processStart) * 1000.0;
    }
}

void BenchmarkSession::beforeDraw(Effect&) {
    if (!drawPass) return;
    imports.waitForGL();
    drawStart = imports.now();
}

void BenchmarkSession::afterDraw(Effect& effect) {
    if (!drawPass) return;
    imports.waitForGL();
    const double milliseconds = (imports.now() - drawStart) * 1000.0;
    auto found = typeIndexOf.find(&effect);
    if (found == typeIndexOf.end()) {
        // First draw of this effect: find or add its type's row.
        const std::string name = effect.typeName();
        std::size_t index = 0;
        while (index < figures.effectTypes.size() && figures.effectTypes[index].typeName != name) ++index;
        if (index == figures.effectTypes.size()) figures.effectTypes.push_back(EffectTypeTimes{name});
        found = typeIndexOf.emplace(&effect, index).first;
    }
    EffectTypeTimes& times = figures.effectTypes[found->second];
    ++times.draws;
    times.totalMilliseconds += milliseconds;
    if (milliseconds > times.maxMilliseconds) times.maxMilliseconds = milliseconds;
    if (currentSecond) {
        if (currentSecond->byType.size() <= found->second) currentSecond->byType.resize(found->second + 1);
        currentSecond->byType[found->second] += milliseconds;
    }
}

bool runBenchmark(const PlayerImports& imports, RenderState& renderState, DemoInterface& demo, Music& music,
                  const FrameTiming& timing, BenchmarkSession& benchmark) {
    if (!runFrameLoop(imports, &demo, timing)) return false;
    // Finishing the GL inside a frame costs time a viewer would not wait
    // for, so the first pass was timed without; the second charges each
    // effect type its own work.
    QUARN_REPORT(Output, "benchmark: second pass, each effect draw between two GL finishes\n");
    music.release();
    audioUseOfflineOutput();
    Demo again("test.dat", music, renderState, &benchmark);
    benchmark.startDrawPass();
    return runFrameLoop(imports, &again, timing);
}

std::string BenchmarkSession::finish() {
    std::vector<double> empty;
    for (int i = 0; i < floorFrames; ++i) {
        imports.waitForGL();
        const double start = imports.now();
        clearFrameToBlack(renderState);
        imports.swapBuffers();
        imports.waitForGL();
        empty.push_back((imports.now() - start) * 1000.0);
    }
    figures.floorMilliseconds = percentile(empty, 0.5);
    return formatBenchmarkReport(figures);
}

std::string formatBenchmarkReport(const BenchmarkFigures& figures) {
    std::vector<double> times;
    times.reserve(figures.frames.size());
    for (const FrameSample& sample : figures.frames) times.push_back(sample.milliseconds);
    const double median = percentile(times, 0.5);
    const double p99 = percentile(times, 0.99);
    const WorstSecond worst = findWorstSecond(figures.frames);
    const std::vector<WorstSecond> worstSeconds = findWorstSeconds(figures.frames, 5);
    const int frames = static_cast<int>(figures.frames.size());

    std::string text;
    if (frames > 0) {
        appendLine(text, "benchmark: %d frames in steps of 1/%d s, demo time %.3f to %.3f s\n", frames,
                   figures.stepRate, figures.frames.front().demoTime, figures.frames.back().demoTime);
    } else {
        text += "benchmark: no frames drawn\n";
    }
    text += "frame times as played: no GL finish inside a frame\n";
    text += "effect types from a second pass, each draw between two GL finishes:\n";
    appendLine(text, "%-20s %8s %12s %10s %10s %8s\n", "effect type", "draws", "total ms", "mean ms", "max ms",
               "ms/frame");
    for (const EffectTypeTimes& type : figures.effectTypes) {
        const double mean = type.draws > 0 ? type.totalMilliseconds / type.draws : 0.0;
        const double perFrame = frames > 0 ? type.totalMilliseconds / frames : 0.0;
        appendLine(text, "%-20s %8d %12.3f %10.3f %10.3f %8.3f\n", type.typeName.c_str(), type.draws,
                   type.totalMilliseconds, mean, type.maxMilliseconds, perFrame);
    }
    appendLine(text, "%-20s %12.3f ms\n", "frame time median", median);
    appendLine(text, "%-20s %12.3f ms\n", "frame time p99", p99);
    appendLine(text, "%-20s %12.3f ms  (second %d, %d frames)\n", "worst second p99", worst.p99Milliseconds,
               worst.second, worst.frames);
    appendLine(text, "%-20s %12s     %s\n", "worst seconds", "p99", "costliest type (second pass, ms a frame)");
    for (const WorstSecond& second : worstSeconds) {
        const char* costliest = "-";
        double perFrame = 0.0;
        auto cost = figures.secondCosts.find(second.second);
        if (cost != figures.secondCosts.end() && cost->second.frames > 0) {
            const std::vector<double>& byType = cost->second.byType;
            for (std::size_t type = 0; type < byType.size() && type < figures.effectTypes.size(); ++type) {
                const double ms = byType[type] / cost->second.frames;
                if (ms > perFrame) {
                    perFrame = ms;
                    costliest = figures.effectTypes[type].typeName.c_str();
                }
            }
        }
        appendLine(text, "  second %-11d %12.3f ms  %s %.3f\n", second.second, second.p99Milliseconds, costliest,
                   perFrame);
    }
    appendLine(text, "%-20s %12.3f ms  (clear and swap only)\n", "floor", figures.floorMilliseconds);
    appendLine(text, "%-20s %12.3f ms  (process start to first frame)\n", "start-up", figures.startUpMilliseconds);
    appendLine(text,
               "benchmark: %d frames, median %.3f ms, p99 %.3f ms, worst second %d (p99 %.3f ms), floor %.3f ms, "
               "start-up %.0f ms\n",
               frames, median, p99, worst.second, worst.p99Milliseconds, figures.floorMilliseconds,
               figures.startUpMilliseconds);
    return text;
}
