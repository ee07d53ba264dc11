#include "authoring/flash_check.h"

#include <algorithm>
#include <cinttypes>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

#include "platform/back_buffer_picture.h"
#include "platform/report.h"
#include "recording/capture.h"

namespace {

// The watch begins this long before a stretch, so that the flashes the
// first windows of the stretch hold are all seen, and ends this long after
// it, so that a picture held back has caught up with the drawn one.
constexpr double watchBefore = 5.0;
constexpr double watchAfter = 2.0;

// From the full change down to none: the first that keeps the window within
// the limit is shown.
constexpr int blendSteps[] = {256, 128, 64, 32, 16, 0};

void blendPictures(const std::vector<uint8_t>& from, const std::vector<uint8_t>& to, int weight,
                   std::vector<uint8_t>& out) {
    out.resize(from.size());
    for (std::size_t i = 0; i < from.size(); ++i)
        out[i] = static_cast<uint8_t>(from[i] + (((static_cast<int>(to[i]) - from[i]) * weight + 128) >> 8));
}

constexpr const char* cacheHeader = "quarn2 flash check 1";

}  // namespace

FlashCheckSession::FlashCheckSession(const PlayerImports& imports, double startTime, int rate, bool showProgress)
    : readFrame(imports.readFrame),
      startTime(startTime),
      rate(rate),
      showProgress(showProgress),
      analysis(startFlashAnalysis(captureWidth, captureHeight)),
      pixels(static_cast<std::size_t>(captureWidth) * captureHeight * 4) {}

bool FlashCheckSession::frameDrawn(int frame, float /*t*/) {
    const double t = fixedFrameTime(startTime, rate, frame);
    readFrame(pixels.data(), captureWidth, captureHeight);
    measureFlashCells(pixels.data(), captureWidth, captureHeight, analysis.rules, cells);
    addFlashFrame(analysis, cells, t);
    if (frames == 0) first = t;
    last = t;
    ++frames;
    if (showProgress && frames % rate == 0) QUARN_REPORTF(Progress, "flashes: checked to demo time %.0f s", t);
    return true;
}

std::vector<FlashStretch> FlashCheckSession::finish() { return finishFlashAnalysis(analysis); }

SafeView::SafeView(RenderState& renderState, const PlayerImports& imports, std::vector<FlashStretch> stretches,
                   double startTime, int fixedRate, FrameObserver* next)
    : renderState(renderState),
      readFrame(imports.readFrame),
      stretches(std::move(stretches)),
      startTime(startTime),
      fixedRate(fixedRate),
      next(next) {}

void SafeView::frameStarting(int frame, float t) {
    if (next) next->frameStarting(frame, t);
}

void SafeView::frameShown(int frame, float t) {
    if (next) next->frameShown(frame, t);
}

bool SafeView::watches(double t) const {
    return std::any_of(stretches.begin(), stretches.end(), [t](const FlashStretch& stretch) {
        return t >= stretch.start - watchBefore && t <= stretch.end + watchAfter;
    });
}

bool SafeView::frameDrawn(int frame, float t) {
    const double time = fixedRate > 0 ? fixedFrameTime(startTime, fixedRate, frame) : t;
    if (watches(time) || changedLast) {
        limit(time);
    } else {
        watching = false;
    }
    return next ? next->frameDrawn(frame, t) : true;
}

void SafeView::limit(double t) {
    drawn.resize(static_cast<std::size_t>(captureWidth) * captureHeight * 4);
    readFrame(drawn.data(), captureWidth, captureHeight);
    if (!watching) {
        // What came before the watch passed the check as it was.
        watching = true;
        analysis = startFlashAnalysis(captureWidth, captureHeight);
        shown = drawn;
        measureFlashCells(shown.data(), captureWidth, captureHeight, analysis.rules, cells);
        addFlashFrame(analysis, cells, t);
        changedLast = false;
        return;
    }
    int weight = 0;
    for (int step : blendSteps) {
        weight = step;
        if (step == 0) break;
        blendPictures(shown, drawn, step, candidate);
        measureFlashCells(candidate.data(), captureWidth, captureHeight, analysis.rules, cells);
        if (!flashFrameWouldFail(analysis, cells, t)) break;
    }
    if (weight == 0) {
        // Nothing new shown adds no change: the cells of the picture before.
        measureFlashCells(shown.data(), captureWidth, captureHeight, analysis.rules, cells);
    } else {
        shown.swap(candidate);
    }
    addFlashFrame(analysis, cells, t);
    changedLast = weight < 256;
    if (changedLast) {
        ++calmed;
        drawIntoBackBuffer(renderState, shown.data(), captureWidth, captureHeight);
    }
}

uint64_t demoFilesKey(const std::string& directory) {
    namespace fs = std::filesystem;
    std::error_code error;
    std::vector<fs::path> files;
    for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error)) {
        if (!it->is_regular_file(error)) continue;
        const fs::path& path = it->path();
        std::string extension = path.extension().string();
        std::transform(extension.begin(), extension.end(), extension.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (path.filename() == flashCacheName || extension == ".png" || extension == ".wav" || extension == ".mp4" ||
            extension == ".mkv")
            continue;
        files.push_back(path);
    }
    std::sort(files.begin(), files.end());
    // FNV-1a over each name, a separator and the bytes.
    uint64_t hash = 14695981039346656037ull;
    const auto mix = [&hash](const char* bytes, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i) {
            hash ^= static_cast<unsigned char>(bytes[i]);
            hash *= 1099511628211ull;
        }
    };
    std::vector<char> buffer(1 << 16);
    for (const fs::path& path : files) {
        const std::string name = path.filename().string();
        mix(name.c_str(), name.size() + 1);
        std::ifstream file(path, std::ios::binary);
        while (file) {
            file.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
            mix(buffer.data(), static_cast<std::size_t>(file.gcount()));
        }
    }
    return hash;
}

bool readFlashCache(const std::string& path, FlashCache& cache) {
    std::ifstream file(path);
    std::string line;
    if (!std::getline(file, line) || line != cacheHeader) return false;
    FlashCache read;
    if (!std::getline(file, line)) return false;
    {
        std::istringstream fields(line);
        std::string word;
        if (!(fields >> word >> std::hex >> read.key >> std::dec >> read.from >> read.to) || word != "demo")
            return false;
    }
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        std::string word, kind;
        FlashStretch stretch;
        if (!(fields >> word >> kind >> stretch.start >> stretch.end >> stretch.mostFlashes >> stretch.largestShare) ||
            word != "stretch" || (kind != "general" && kind != "red"))
            return false;
        stretch.kind = kind == "red" ? FlashKind::red : FlashKind::general;
        read.stretches.push_back(stretch);
    }
    cache = std::move(read);
    return true;
}

bool writeFlashCache(const std::string& path, const FlashCache& cache) {
    std::ofstream file(path, std::ios::trunc);
    file.precision(17);
    file << cacheHeader << "\ndemo " << std::hex << cache.key << std::dec << ' ' << cache.from << ' ' << cache.to
         << '\n';
    for (const FlashStretch& stretch : cache.stretches) {
        file << "stretch " << (stretch.kind == FlashKind::red ? "red" : "general") << ' ' << stretch.start << ' '
             << stretch.end << ' ' << stretch.mostFlashes << ' ' << stretch.largestShare << '\n';
    }
    file.flush();
    return static_cast<bool>(file);
}
