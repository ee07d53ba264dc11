#pragma once
// Finds the stretches of a frame sequence that flash too often for viewers
// with photosensitive epilepsy, by the published three-flashes rule:
// - relative luminance from sRGB; a general flash is a pair of opposing
//   changes of at least 0.1 where the darker side is below 0.8;
// - a red flash is a pair of opposing changes of more than 20 in
//   max(0, R - G - B) * 320 (linear R, G, B) where either change involves a
//   saturated red, R / (R + G + B) >= 0.8;
// - flashes count only where they cover at least a quarter of some 10 degree
//   visual field, a third of the picture's width and height (341 x 256 on a
//   1024 x 768 screen);
// - more than three flashes of either kind within one second fail.
// The picture is measured in square cells (light is averaged per cell), and
// each cell's own changes are followed over time; a one-second window fails
// where the cells with more than three flashes in it cover a quarter of some
// field. No GL here: frames come in as RGBA bytes.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

enum class FlashKind { general = 0, red = 1 };

struct FlashRules {
    double window = 1.0;                 // seconds
    int mostFlashes = 3;                 // allowed within one window
    float generalChange = 0.1f;          // relative luminance
    float darkerBelow = 0.8f;            // the darker side of a general flash
    float redChange = 20.0f;             // in max(0, R - G - B) * 320, more than this
    float saturatedRed = 0.8f;           // R / (R + G + B) at least this
    double fieldWidth = 341.0 / 1024.0;  // of the picture's width
    double fieldHeight = 256.0 / 768.0;  // of its height
    double fieldShare = 0.25;            // of the field, at least this
    int cellSize = 8;                    // pixels per cell side
};

// One frame, reduced to cells: the mean linear light of each.
struct FlashCells {
    int columns = 0;
    int rows = 0;
    std::vector<float> luminance;  // relative luminance, 0 to 1
    std::vector<float> redness;    // max(0, R - G - B) * 320
    std::vector<uint8_t> saturatedRed;
};

// Fills cells from width * height RGBA bytes (sRGB). Row order does not
// matter to the rule.
void measureFlashCells(const uint8_t* rgba, int width, int height, const FlashRules& rules, FlashCells& cells);

struct FlashStretch {
    FlashKind kind = FlashKind::general;
    double start = 0.0;         // the first change of the first flash counted
    double end = 0.0;           // the last change counted
    int mostFlashes = 0;        // in any one second within it, on a quarter of a field
    double largestShare = 0.0;  // of the picture flashing too often, 0 to 1
};

// How one cell's value has moved since it last turned.
struct CellTrace {
    float low = 0.0f, high = 0.0f;  // range seen before the first change
    float anchor = 0.0f;            // value where the current change began
    float extreme = 0.0f;           // furthest value reached in it
    int8_t direction = 0;           // +1 rising, -1 falling, 0 not yet known
    bool started = false;
    bool counted = false;            // the current change is large enough
    bool involvesSaturated = false;  // it passed through a saturated red
    bool extremeSaturated = false;
    bool lowSaturated = false, highSaturated = false;
    // A counted change still waiting for its opposite to make a flash.
    int8_t pendingDirection = 0;
    bool pendingSaturated = false;
    double pendingTime = 0.0;
};

// A cell's recent flashes, oldest first, in a fixed ring.
struct CellFlashes {
    static constexpr int capacity = 64;
    std::array<float, capacity> start{};
    std::array<float, capacity> end{};
    int first = 0;
    int count = 0;
};

struct FlashKindState {
    std::vector<CellTrace> traces;
    std::vector<CellFlashes> flashes;
    bool open = false;  // a failing stretch is running
    FlashStretch current;
};

// What the window ending at the latest frame shows, per kind.
struct FlashWindow {
    std::array<bool, 2> fails{};
    std::array<int, 2> flashes{};  // on a quarter of some field
    std::array<double, 2> share{};
};

struct FlashAnalysis {
    FlashRules rules;
    int columns = 0, rows = 0;
    int fieldColumns = 0, fieldRows = 0;
    int fieldCellsNeeded = 0;
    std::array<FlashKindState, 2> kinds;
    std::vector<FlashStretch> stretches;  // closed ones, in order of their end
    // Scratch for the area rule.
    std::vector<int> counts;
    std::vector<int> summedArea;
};

FlashAnalysis startFlashAnalysis(int width, int height, const FlashRules& rules = FlashRules{});
// Adds the frame shown at time t (seconds, rising). Returns the verdict for
// the window of one second that ends with it.
FlashWindow addFlashFrame(FlashAnalysis& analysis, const FlashCells& cells, double t);
// Whether adding the frame would make the window ending with it fail, of
// either kind. Changes nothing but scratch space.
bool flashFrameWouldFail(FlashAnalysis& analysis, const FlashCells& cells, double t);
// Closes stretches still open; the result lists every stretch by its start.
std::vector<FlashStretch> finishFlashAnalysis(FlashAnalysis& analysis);

// "flashes: 20.00 s to 22.00 s: 10 general flashes in one second (limit 3),
// on up to 100 % of the picture"
std::string flashStretchLine(const FlashStretch& stretch, const FlashRules& rules = FlashRules{});
// The closing line: the stretches found, or that none was, over which times.
std::string flashSummaryLine(const std::vector<FlashStretch>& stretches, double from, double to);
