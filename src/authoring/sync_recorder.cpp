#include "authoring/sync_recorder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string_view>

#include "framework/script_reader.h"
#include "platform/file_bytes.h"

namespace {

// Fewer decimals than this would move an event by more than a frame.
constexpr int leastDecimals = 2;

// One event line as the player reads it; nullopt when it reads none.
std::optional<SyncEvent> eventOf(std::string_view line) {
    SyncTrack one;
    const std::string single = std::string(line.substr(0, maxSyncLineLength)) + "\n";
    readSyncTrackFromBytes(single.data(), single.size(), one, true);
    if (one.empty()) return std::nullopt;
    return one.front();
}

bool isWord(const std::string& name) {
    return !name.empty() && name.find_first_of(" \t\r\n", 0) == std::string::npos &&
           name.find('\0') == std::string::npos;
}

std::string shownEvent(float time, const std::string& name, int target, int decimals) {
    char text[48];
    std::snprintf(text, sizeof text, "%.*f ", decimals, static_cast<double>(time));
    return text + name + " " + std::to_string(target);
}

// What the file holds now; nullopt when there is no such file. problem is
// set when there is one that cannot be read.
std::optional<std::string> readNow(const std::string& path, std::string& problem) {
    problem.clear();
    std::string bytes;
    std::string reason;
    if (readFileText(path, bytes, &reason)) return bytes;
    std::error_code error;
    if (std::filesystem::symlink_status(path, error).type() != std::filesystem::file_type::not_found)
        problem = "cannot read " + path + ": " + reason;
    return std::nullopt;
}

}  // namespace

SyncRecorder::SyncRecorder(std::string path) : path(std::move(path)) {}

void SyncRecorder::refresh() {
    std::string problem;
    std::optional<std::string> now = readNow(path, problem);
    if (now != seen) history.clear();
    seen = std::move(now);
    track.clear();
    if (seen) readSyncTrackFromBytes(seen->data(), seen->size(), track, true);
}

std::optional<SyncEvent> SyncRecorder::defaultEvent() const {
    if (lastRecorded) return lastRecorded;
    if (track.empty()) return std::nullopt;
    return track.back();
}

std::vector<SyncRecorder::Line> SyncRecorder::readLines() const {
    std::vector<Line> lines;
    if (!seen) return lines;
    const std::string_view text = *seen;
    // As the player reads: after a byte order mark, up to the first empty
    // line, and no further than a line too long.
    std::size_t position = text.starts_with(utf8ByteOrderMark) ? utf8ByteOrderMark.size() : 0;
    while (position < text.size()) {
        Line line;
        line.begin = position;
        std::size_t lineEnd = text.find('\n', position);
        line.hasLineEnd = lineEnd != std::string_view::npos;
        if (!line.hasLineEnd) lineEnd = text.size();
        std::string_view content = text.substr(position, lineEnd - position);
        line.end = line.hasLineEnd ? lineEnd + 1 : lineEnd;
        position = line.end;
        if (line.hasLineEnd && !content.empty() && content.back() == '\r') content.remove_suffix(1);
        if (content.empty()) break;
        if (const std::optional<SyncEvent> event = eventOf(content)) {
            line.isEvent = true;
            line.time = event->time;
        }
        line.endsReading = content.size() > maxSyncLineLength;
        lines.push_back(line);
        if (line.endsReading) break;
    }
    return lines;
}

// In the manner of model, the event line nearest the new one: its leading
// blanks, the blanks between its fields, its decimals (at least two).
std::string SyncRecorder::formatLine(const Line* model, double time, const std::string& name, int target) const {
    if (model == nullptr) return shownEvent(static_cast<float>(time), name, target, leastDecimals);
    std::string_view text = std::string_view(*seen).substr(model->begin, model->end - model->begin);
    std::size_t i = 0;
    const auto blanks = [&] {
        const std::size_t from = i;
        while (i < text.size() && text[i] == ' ') ++i;
        return std::string(text.substr(from, i - from));
    };
    const auto field = [&] {
        const std::size_t from = i;
        while (i < text.size() && text[i] != ' ' && text[i] != '\r' && text[i] != '\n') ++i;
        return text.substr(from, i - from);
    };
    const std::string lead = blanks();
    const std::string_view timeField = field();
    const std::string afterTime = blanks();
    field();
    const std::string afterName = blanks();
    int decimals = 0;
    if (const std::size_t point = timeField.find('.'); point != std::string_view::npos) {
        for (std::size_t k = point + 1; k < timeField.size() && timeField[k] >= '0' && timeField[k] <= '9'; ++k)
            ++decimals;
    }
    decimals = std::clamp(decimals, leastDecimals, 6);
    char number[48];
    std::snprintf(number, sizeof number, "%.*f", decimals, time);
    return lead + number + afterTime + name + afterName + std::to_string(target);
}

SyncEdit SyncRecorder::record(double time, const std::string& name, int target) {
    if (!isWord(name)) return {false, "an event needs a name of one word without blanks: nothing recorded"};
    time = std::max(time, 0.0);
    const std::vector<Line> lines = readLines();
    // Placed by the time the player will read back, not the one asked for.
    const Line* model = nullptr;
    for (const Line& line : lines)
        if (line.isEvent && model == nullptr) model = &line;
    const std::string probe = formatLine(model, time, name, target);
    const float readBack = eventOf(probe) ? eventOf(probe)->time : static_cast<float>(time);

    const Line* after = nullptr;
    for (const Line& line : lines)
        if (line.isEvent && line.time <= readBack) after = &line;
    const Line* nearest = after != nullptr ? after : model;
    const std::string text = formatLine(nearest, time, name, target);
    if (text.size() > maxSyncLineLength)
        return {false, "the event's name is too long for a sync line: nothing recorded"};
    const float written = eventOf(text)->time;

    std::string lineEnd = "\n";
    if (nearest != nullptr && nearest->hasLineEnd && nearest->end - nearest->begin >= 2 &&
        (*seen)[nearest->end - 2] == '\r')
        lineEnd = "\r\n";
    std::string replacement = seen.value_or("");
    if (after != nullptr && after->endsReading) {
        // After it the player would never read the new line.
        replacement.insert(after->begin, text + lineEnd);
    } else if (after != nullptr && !after->hasLineEnd) {
        // The file ends without a line end: so does it still.
        replacement.insert(after->end, lineEnd + text);
    } else {
        std::size_t at = after != nullptr ? after->end : model != nullptr ? model->begin : 0;
        if (after == nullptr && model == nullptr)
            at = replacement.starts_with(utf8ByteOrderMark) ? utf8ByteOrderMark.size() : 0;
        replacement.insert(at, text + lineEnd);
    }
    SyncEdit edit = replace(replacement, "recorded " + shownEvent(written, name, target, 3) + " in " + path);
    if (edit.done) lastRecorded = SyncEvent{written, name, target};
    return edit;
}

SyncEdit SyncRecorder::removeNearest(double time) {
    const std::vector<Line> lines = readLines();
    const Line* nearest = nullptr;
    for (const Line& line : lines) {
        if (!line.isEvent) continue;
        if (nearest == nullptr || std::fabs(line.time - time) < std::fabs(nearest->time - time)) nearest = &line;
    }
    if (nearest == nullptr) return {false, "no event in " + path + " to remove"};
    std::size_t from = nearest->begin;
    // The last line without a line end takes the one before it along.
    if (!nearest->hasLineEnd && from > 0 && (*seen)[from - 1] == '\n') {
        --from;
        if (from > 0 && (*seen)[from - 1] == '\r') --from;
    }
    const std::optional<SyncEvent> event =
        eventOf(std::string_view(*seen).substr(nearest->begin, nearest->end - nearest->begin));
    std::string replacement = *seen;
    replacement.erase(from, nearest->end - from);
    return replace(replacement, "removed " + shownEvent(event->time, event->name, event->target, 3) + " from " + path);
}

SyncEdit SyncRecorder::undo() {
    if (history.empty()) return {false, "nothing to undo in " + path};
    std::string problem;
    const std::optional<std::string> now = readNow(path, problem);
    if (!problem.empty()) return {false, problem + ": nothing undone"};
    if (now != seen)
        return {false, path + " changed since it was last read: nothing undone (try again once it is read)"};
    const std::optional<std::string>& previous = history.back();
    if (previous) {
        if (!writeAtomically(*previous, problem)) return {false, problem + ": nothing undone"};
    } else {
        std::error_code error;
        std::filesystem::remove(path, error);
        if (error) return {false, "cannot remove " + path + ": " + error.message() + ": nothing undone"};
    }
    seen = previous;
    history.pop_back();
    track.clear();
    if (seen) readSyncTrackFromBytes(seen->data(), seen->size(), track, true);
    return {true, "undone: " + path + " as before the last change"};
}

SyncEdit SyncRecorder::replace(const std::string& replacement, std::string doneMessage) {
    std::string problem;
    const std::optional<std::string> now = readNow(path, problem);
    if (!problem.empty()) return {false, problem + ": nothing written"};
    // An editor saved since: its words stand until the player has read
    // them, and the next change is made on them.
    if (now != seen)
        return {false, path + " changed since it was last read: nothing written (try again once it is read)"};
    if (!writeAtomically(replacement, problem)) return {false, problem + ": nothing written"};
    history.push_back(seen);
    seen = replacement;
    track.clear();
    readSyncTrackFromBytes(seen->data(), seen->size(), track, true);
    return {true, std::move(doneMessage)};
}

bool SyncRecorder::writeAtomically(const std::string& bytes, std::string& problem) const {
    // A link is followed, so that it still names the file afterwards.
    std::error_code error;
    std::string target = path;
    if (std::filesystem::is_symlink(path, error)) {
        const std::filesystem::path resolved = std::filesystem::canonical(path, error);
        if (!error) target = resolved.string();
    }
    const std::string fresh = target + ".quarn2-new";
    const int file = open(fresh.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    const auto failed = [&](const char* what) {
        problem = std::string("cannot ") + what + " " + fresh + ": " + std::strerror(errno);
        if (file >= 0) close(file);
        unlink(fresh.c_str());
        return false;
    };
    if (file < 0) return failed("create");
    struct stat old {};
    if (stat(target.c_str(), &old) == 0 && fchmod(file, old.st_mode & 07777) != 0) return failed("set the mode of");
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = write(file, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return failed("write");
        written += static_cast<std::size_t>(n);
    }
    if (fsync(file) != 0) return failed("write");
    if (close(file) != 0) {
        unlink(fresh.c_str());
        problem = "cannot write " + fresh + ": " + std::strerror(errno);
        return false;
    }
    if (std::rename(fresh.c_str(), target.c_str()) != 0) {
        problem = "cannot rename " + fresh + " over " + target + ": " + std::strerror(errno);
        unlink(fresh.c_str());
        return false;
    }
    return true;
}
