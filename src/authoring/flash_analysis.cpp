#include "authoring/flash_analysis.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// A flash that ended this long before the window's end (or earlier) is out
// of it: a window holds the frames of one second, not one more.
constexpr double windowSlack = 1e-4;

struct LinearTable {
    std::array<float, 256> value{};
    LinearTable() {
        for (int i = 0; i < 256; ++i) {
            const double c = i / 255.0;
            value[i] = static_cast<float>(c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
        }
    }
};

const LinearTable& linearTable() {
    static const LinearTable table;
    return table;
}

bool isLargeChange(FlashKind kind, float change, const FlashRules& rules) {
    return kind == FlashKind::general ? change >= rules.generalChange : change > rules.redChange;
}

// A general flash needs its darker side below the limit; a red one only
// the size of the change.
bool countsAsChange(FlashKind kind, const CellTrace& trace, const FlashRules& rules) {
    if (!isLargeChange(kind, std::fabs(trace.extreme - trace.anchor), rules)) return false;
    if (kind == FlashKind::red) return true;
    const float darker = trace.direction > 0 ? trace.anchor : trace.extreme;
    return darker < rules.darkerBelow;
}

void beginChange(CellTrace& trace, int8_t direction, float anchor, bool anchorSaturated, float value, bool saturated) {
    trace.direction = direction;
    trace.anchor = anchor;
    trace.extreme = value;
    trace.extremeSaturated = saturated;
    trace.involvesSaturated = anchorSaturated || saturated;
    trace.counted = false;
}

struct Flash {
    bool happened = false;
    double start = 0.0;
};

// The cell's next state after value at time t; says whether a flash ended.
Flash stepTrace(CellTrace& trace, FlashKind kind, float value, bool saturated, double t, const FlashRules& rules) {
    Flash flash;
    if (!trace.started) {
        trace.started = true;
        trace.low = trace.high = value;
        trace.lowSaturated = trace.highSaturated = saturated;
        return flash;
    }
    if (trace.direction == 0) {
        if (value < trace.low) {
            trace.low = value;
            trace.lowSaturated = saturated;
        }
        if (value > trace.high) {
            trace.high = value;
            trace.highSaturated = saturated;
        }
        if (isLargeChange(kind, value - trace.low, rules))
            beginChange(trace, 1, trace.low, trace.lowSaturated, value, saturated);
        else if (isLargeChange(kind, trace.high - value, rules))
            beginChange(trace, -1, trace.high, trace.highSaturated, value, saturated);
        else
            return flash;
    } else if ((value - trace.extreme) * trace.direction > 0.0f) {
        trace.extreme = value;
        trace.extremeSaturated = saturated;
        trace.involvesSaturated = trace.involvesSaturated || saturated;
        // The change still waiting for its opposite grows into the red.
        if (trace.counted && trace.pendingDirection == trace.direction)
            trace.pendingSaturated = trace.pendingSaturated || trace.involvesSaturated;
    } else if (isLargeChange(kind, (trace.extreme - value) * trace.direction, rules)) {
        beginChange(trace, static_cast<int8_t>(-trace.direction), trace.extreme, trace.extremeSaturated, value,
                    saturated);
    }
    if (trace.counted || !countsAsChange(kind, trace, rules)) return flash;
    trace.counted = true;
    const bool opposes = trace.pendingDirection == -trace.direction;
    if (opposes && (kind == FlashKind::general || trace.pendingSaturated || trace.involvesSaturated)) {
        flash.happened = true;
        flash.start = trace.pendingTime;
        trace.pendingDirection = 0;
        return flash;
    }
    trace.pendingDirection = trace.direction;
    trace.pendingTime = t;
    trace.pendingSaturated = trace.involvesSaturated;
    return flash;
}

void addFlash(CellFlashes& flashes, double start, double end) {
    if (flashes.count == CellFlashes::capacity) {
        flashes.first = (flashes.first + 1) % CellFlashes::capacity;
        --flashes.count;
    }
    const int slot = (flashes.first + flashes.count) % CellFlashes::capacity;
    flashes.start[slot] = static_cast<float>(start);
    flashes.end[slot] = static_cast<float>(end);
    ++flashes.count;
}

// The first of the cell's flashes that is still within the window ending at t.
int firstInWindow(const CellFlashes& flashes, double t, const FlashRules& rules) {
    int skipped = 0;
    while (skipped < flashes.count &&
           flashes.end[(flashes.first + skipped) % CellFlashes::capacity] <= t - rules.window + windowSlack)
        ++skipped;
    return skipped;
}

// Whether the cells with at least least flashes cover enough of some field.
bool coversAField(FlashAnalysis& analysis, int least) {
    const int columns = analysis.columns;
    const int rows = analysis.rows;
    int total = 0;
    for (int count : analysis.counts) total += count >= least;
    if (total < analysis.fieldCellsNeeded) return false;
    // Summed-area table with a zero row and column in front.
    std::vector<int>& sums = analysis.summedArea;
    const int stride = columns + 1;
    for (int y = 0; y < rows; ++y) {
        int rowSum = 0;
        for (int x = 0; x < columns; ++x) {
            rowSum += analysis.counts[static_cast<std::size_t>(y) * columns + x] >= least;
            sums[static_cast<std::size_t>(y + 1) * stride + x + 1] =
                sums[static_cast<std::size_t>(y) * stride + x + 1] + rowSum;
        }
    }
    const int fw = analysis.fieldColumns;
    const int fh = analysis.fieldRows;
    for (int y = 0; y + fh <= rows; ++y) {
        for (int x = 0; x + fw <= columns; ++x) {
            const int inside = sums[static_cast<std::size_t>(y + fh) * stride + x + fw] -
                               sums[static_cast<std::size_t>(y) * stride + x + fw] -
                               sums[static_cast<std::size_t>(y + fh) * stride + x] +
                               sums[static_cast<std::size_t>(y) * stride + x];
            if (inside >= analysis.fieldCellsNeeded) return true;
        }
    }
    return false;
}

float cellValue(const FlashCells& cells, FlashKind kind, std::size_t cell) {
    return kind == FlashKind::general ? cells.luminance[cell] : cells.redness[cell];
}

bool cellSaturated(const FlashCells& cells, FlashKind kind, std::size_t cell) {
    return kind == FlashKind::general || cells.saturatedRed[cell] != 0;
}

void closeStretch(FlashAnalysis& analysis, FlashKindState& state) {
    analysis.stretches.push_back(state.current);
    state.open = false;
}

// Records a failing window ending at t for kind.
void extendStretch(FlashAnalysis& analysis, FlashKind kind, double t, FlashWindow& window) {
    FlashKindState& state = analysis.kinds[static_cast<int>(kind)];
    const FlashRules& rules = analysis.rules;
    const int tooMany = rules.mostFlashes + 1;
    int most = tooMany;
    while (most < CellFlashes::capacity && coversAField(analysis, most + 1)) ++most;
    double start = t;
    double end = 0.0;
    int flagged = 0;
    for (std::size_t cell = 0; cell < analysis.counts.size(); ++cell) {
        if (analysis.counts[cell] < tooMany) continue;
        ++flagged;
        const CellFlashes& flashes = state.flashes[cell];
        const int skipped = firstInWindow(flashes, t, rules);
        start = std::min(start, static_cast<double>(flashes.start[(flashes.first + skipped) % CellFlashes::capacity]));
        end = std::max(end,
                       static_cast<double>(flashes.end[(flashes.first + flashes.count - 1) % CellFlashes::capacity]));
    }
    const double share = static_cast<double>(flagged) / static_cast<double>(analysis.counts.size());
    window.fails[static_cast<int>(kind)] = true;
    window.flashes[static_cast<int>(kind)] = most;
    window.share[static_cast<int>(kind)] = share;
    if (!state.open) {
        // A stretch that ended where this one begins goes on.
        auto previous = std::find_if(analysis.stretches.rbegin(), analysis.stretches.rend(),
                                     [&](const FlashStretch& s) { return s.kind == kind; });
        if (previous != analysis.stretches.rend() && previous->end >= start) {
            state.current = *previous;
            analysis.stretches.erase(std::next(previous).base());
        } else {
            state.current = FlashStretch{kind, start, end, 0, 0.0};
        }
        state.open = true;
    }
    FlashStretch& stretch = state.current;
    stretch.start = std::min(stretch.start, start);
    stretch.end = std::max(stretch.end, end);
    stretch.mostFlashes = std::max(stretch.mostFlashes, most);
    stretch.largestShare = std::max(stretch.largestShare, share);
}

}  // namespace

void measureFlashCells(const uint8_t* rgba, int width, int height, const FlashRules& rules, FlashCells& cells) {
    const int size = std::max(1, rules.cellSize);
    cells.columns = (width + size - 1) / size;
    cells.rows = (height + size - 1) / size;
    const std::size_t count = static_cast<std::size_t>(cells.columns) * cells.rows;
    cells.luminance.assign(count, 0.0f);
    cells.redness.assign(count, 0.0f);
    cells.saturatedRed.assign(count, 0);
    const std::array<float, 256>& linear = linearTable().value;
    std::vector<float> red(count, 0.0f), green(count, 0.0f), blue(count, 0.0f);
    for (int y = 0; y < height; ++y) {
        const uint8_t* pixel = rgba + static_cast<std::size_t>(y) * width * 4;
        const std::size_t rowCells = static_cast<std::size_t>(y / size) * cells.columns;
        for (int x = 0; x < width; x += size) {
            const int end = std::min(width, x + size);
            float r = 0.0f, g = 0.0f, b = 0.0f;
            for (int i = x; i < end; ++i, pixel += 4) {
                r += linear[pixel[0]];
                g += linear[pixel[1]];
                b += linear[pixel[2]];
            }
            const std::size_t cell = rowCells + static_cast<std::size_t>(x / size);
            red[cell] += r;
            green[cell] += g;
            blue[cell] += b;
        }
    }
    for (int row = 0; row < cells.rows; ++row) {
        const int cellHeight = std::min(size, height - row * size);
        for (int column = 0; column < cells.columns; ++column) {
            const int cellWidth = std::min(size, width - column * size);
            const std::size_t cell = static_cast<std::size_t>(row) * cells.columns + column;
            const float pixels = static_cast<float>(cellWidth * cellHeight);
            const float r = red[cell] / pixels, g = green[cell] / pixels, b = blue[cell] / pixels;
            cells.luminance[cell] = 0.2126f * r + 0.7152f * g + 0.0722f * b;
            cells.redness[cell] = std::max(0.0f, r - g - b) * 320.0f;
            const float sum = r + g + b;
            cells.saturatedRed[cell] = sum > 0.0f && r >= rules.saturatedRed * sum;
        }
    }
}

FlashAnalysis startFlashAnalysis(int width, int height, const FlashRules& rules) {
    FlashAnalysis analysis;
    analysis.rules = rules;
    const int size = std::max(1, rules.cellSize);
    analysis.columns = std::max(1, (width + size - 1) / size);
    analysis.rows = std::max(1, (height + size - 1) / size);
    // The field in cells, never larger than the picture.
    const auto cellsAcross = [&](double pixels, int most) {
        return std::clamp(static_cast<int>(std::lround(pixels / size)), 1, most);
    };
    analysis.fieldColumns = cellsAcross(width * rules.fieldWidth, analysis.columns);
    analysis.fieldRows = cellsAcross(height * rules.fieldHeight, analysis.rows);
    analysis.fieldCellsNeeded =
        std::max(1, static_cast<int>(std::ceil(rules.fieldShare * analysis.fieldColumns * analysis.fieldRows - 1e-9)));
    const std::size_t count = static_cast<std::size_t>(analysis.columns) * analysis.rows;
    for (FlashKindState& state : analysis.kinds) {
        state.traces.assign(count, CellTrace{});
        state.flashes.assign(count, CellFlashes{});
    }
    analysis.counts.assign(count, 0);
    analysis.summedArea.assign(static_cast<std::size_t>(analysis.columns + 1) * (analysis.rows + 1), 0);
    return analysis;
}

FlashWindow addFlashFrame(FlashAnalysis& analysis, const FlashCells& cells, double t) {
    FlashWindow window;
    const FlashRules& rules = analysis.rules;
    const std::size_t count = analysis.counts.size();
    if (cells.luminance.size() != count) return window;
    for (FlashKind kind : {FlashKind::general, FlashKind::red}) {
        FlashKindState& state = analysis.kinds[static_cast<int>(kind)];
        for (std::size_t cell = 0; cell < count; ++cell) {
            CellFlashes& flashes = state.flashes[cell];
            const Flash flash = stepTrace(state.traces[cell], kind, cellValue(cells, kind, cell),
                                          cellSaturated(cells, kind, cell), t, rules);
            if (flash.happened) addFlash(flashes, flash.start, t);
            const int expired = firstInWindow(flashes, t, rules);
            flashes.first = (flashes.first + expired) % CellFlashes::capacity;
            flashes.count -= expired;
            analysis.counts[cell] = flashes.count;
        }
        if (coversAField(analysis, rules.mostFlashes + 1)) {
            extendStretch(analysis, kind, t, window);
        } else if (state.open) {
            closeStretch(analysis, state);
        }
    }
    return window;
}

bool flashFrameWouldFail(FlashAnalysis& analysis, const FlashCells& cells, double t) {
    const FlashRules& rules = analysis.rules;
    const std::size_t count = analysis.counts.size();
    if (cells.luminance.size() != count) return false;
    for (FlashKind kind : {FlashKind::general, FlashKind::red}) {
        const FlashKindState& state = analysis.kinds[static_cast<int>(kind)];
        for (std::size_t cell = 0; cell < count; ++cell) {
            CellTrace trace = state.traces[cell];
            const Flash flash =
                stepTrace(trace, kind, cellValue(cells, kind, cell), cellSaturated(cells, kind, cell), t, rules);
            const CellFlashes& flashes = state.flashes[cell];
            analysis.counts[cell] = flashes.count - firstInWindow(flashes, t, rules) + (flash.happened ? 1 : 0);
        }
        if (coversAField(analysis, rules.mostFlashes + 1)) return true;
    }
    return false;
}

std::vector<FlashStretch> finishFlashAnalysis(FlashAnalysis& analysis) {
    for (FlashKindState& state : analysis.kinds)
        if (state.open) closeStretch(analysis, state);
    std::stable_sort(analysis.stretches.begin(), analysis.stretches.end(),
                     [](const FlashStretch& a, const FlashStretch& b) { return a.start < b.start; });
    return analysis.stretches;
}

std::string flashStretchLine(const FlashStretch& stretch, const FlashRules& rules) {
    char line[200];
    std::snprintf(line, sizeof line,
                  "flashes: %.2f s to %.2f s: %d %s flashes in one second (limit %d), on up to %.0f %% of the picture",
                  stretch.start, stretch.end, stretch.mostFlashes, stretch.kind == FlashKind::red ? "red" : "general",
                  rules.mostFlashes, stretch.largestShare * 100.0);
    return line;
}

std::string flashSummaryLine(const std::vector<FlashStretch>& stretches, double from, double to) {
    char line[160];
    if (stretches.empty()) {
        std::snprintf(line, sizeof line, "flashes: none over the limit from %.2f s to %.2f s", from, to);
    } else {
        std::snprintf(line, sizeof line, "flashes: %zu %s over the limit from %.2f s to %.2f s", stretches.size(),
                      stretches.size() == 1 ? "stretch" : "stretches", from, to);
    }
    return line;
}
