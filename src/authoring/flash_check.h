#pragma once
// The flash check as a run of the player: every frame read back and given
// to the analyser (authoring/flash_analysis.h).
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "authoring/flash_analysis.h"
#include "platform/render_state.h"
#include "player/frame_loop.h"

// Steps per second of the check, whatever --fps says for captures.
constexpr int flashCheckRate = 60;

class FlashCheckSession : public FrameObserver {
public:
    // Frames come from the imports' readFrame. startTime and rate give
    // each frame's exact time; with showProgress, a progress line is
    // reported every demo second.
    FlashCheckSession(const PlayerImports& imports, double startTime, int rate, bool showProgress = false);

    bool frameDrawn(int frame, float t) override;
    // The failing stretches, by their start.
    std::vector<FlashStretch> finish();

    int framesChecked() const { return frames; }
    double firstTime() const { return first; }
    double lastTime() const { return last; }

private:
    void (*readFrame)(uint8_t* rgba, int width, int height);
    double startTime;
    int rate;
    bool showProgress;
    FlashAnalysis analysis;
    FlashCells cells;
    std::vector<uint8_t> pixels;
    int frames = 0;
    double first = 0.0, last = 0.0;
};

// --safe: around the stretches a check found, each frame is blended with
// the one shown before it as little as keeps every second of the shown
// pictures within the limit; a frame that would break it at any blend is
// not shown, the previous one stays. Elsewhere frames pass untouched and
// nothing is read back. The frame goes on to next (a capture) as shown.
class SafeView : public FrameObserver {
public:
    // Frames come from the imports' readFrame; the shown picture goes in
    // through renderState. startTime and fixedRate as in the frame loop's
    // timing (rate 0: the loop's own times).
    SafeView(RenderState& renderState, const PlayerImports& imports, std::vector<FlashStretch> stretches,
             double startTime, int fixedRate, FrameObserver* next = nullptr);

    void frameStarting(int frame, float t) override;
    bool frameDrawn(int frame, float t) override;
    void frameShown(int frame, float t) override;

    // Frames shown otherwise than drawn.
    int framesCalmed() const { return calmed; }

private:
    bool watches(double t) const;
    // The picture shown for the frame just drawn, into shown.
    void limit(double t);

    RenderState& renderState;
    void (*readFrame)(uint8_t* rgba, int width, int height);
    std::vector<FlashStretch> stretches;
    double startTime;
    int fixedRate;
    FrameObserver* next;
    bool watching = false;
    bool changedLast = false;
    FlashAnalysis analysis;
    FlashCells cells;
    std::vector<uint8_t> drawn, shown, candidate;
    int calmed = 0;
};

// What a check found, kept beside the demo so that --safe need not play it
// twice: for files with this key, the stretches between from and to.
struct FlashCache {
    uint64_t key = 0;
    double from = 0.0;
    double to = 0.0;
    std::vector<FlashStretch> stretches;
};

// The cache's name inside the demo's directory.
constexpr const char* flashCacheName = ".quarn2-flashes";

// A fingerprint of the demo in directory: the names and bytes of its
// regular files, leaving out the cache and the pictures, sound and videos
// the player writes.
uint64_t demoFilesKey(const std::string& directory);
// False for a missing or malformed file.
bool readFlashCache(const std::string& path, FlashCache& cache);
bool writeFlashCache(const std::string& path, const FlashCache& cache);
