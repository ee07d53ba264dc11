#include "player/sync_track.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "framework/script_reader.h"
#include "platform/file_bytes.h"
#include "platform/report.h"

namespace {

bool isCSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// atof of the old C run-time: blanks, sign, digits, fraction, exponent and
// nothing else (no hex, no "inf" or "nan", which would stall the track).
float readTime(std::string_view field) {
    std::size_t i = 0;
    while (i < field.size() && isCSpace(field[i])) ++i;
    const std::size_t begin = i;
    if (i < field.size() && (field[i] == '+' || field[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < field.size() && isDigit(field[i])) {
        ++i;
        ++digits;
    }
    if (i < field.size() && field[i] == '.') {
        ++i;
        while (i < field.size() && isDigit(field[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0) return 0.0f;
    if (i < field.size() && (field[i] == 'e' || field[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < field.size() && (field[j] == '+' || field[j] == '-')) ++j;
        if (j < field.size() && isDigit(field[j])) {
            while (j < field.size() && isDigit(field[j])) ++j;
            i = j;
        }
    }
    const std::string number(field.substr(begin, i - begin));
    const double value = std::strtod(number.c_str(), nullptr);
    // A double beyond the float range must not be narrowed directly.
    if (value > FLT_MAX) return HUGE_VALF;
    if (value < -FLT_MAX) return -HUGE_VALF;
    return static_cast<float>(value);
}

// atoi, saturating instead of overflowing.
int32_t readTarget(std::string_view field) {
    std::size_t i = 0;
    while (i < field.size() && isCSpace(field[i])) ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-')) negative = field[i++] == '-';
    int64_t value = 0;
    while (i < field.size() && isDigit(field[i])) {
        value = value * 10 + (field[i++] - '0');
        if (value > int64_t{INT32_MAX} + 1) value = int64_t{INT32_MAX} + 1;
    }
    if (negative) return static_cast<int32_t>(-value);
    return static_cast<int32_t>(value > INT32_MAX ? INT32_MAX : value);
}

// Splits at runs of spaces (only spaces: a tab belongs to its field).
int splitFields(std::string_view line, std::string_view (&fields)[3]) {
    int count = 0;
    std::size_t i = 0;
    while (count < 3) {
        while (i < line.size() && line[i] == ' ') ++i;
        if (i == line.size()) break;
        const std::size_t begin = i;
        while (i < line.size() && line[i] != ' ') ++i;
        fields[count++] = line.substr(begin, i - begin);
    }
    return count;
}

}  // namespace

void readSyncTrackFromBytes(const char* data, std::size_t size, SyncTrack& track, bool quiet, SyncListener* listener) {
    SyncListener nobody;
    SyncListener& told = listener != nullptr ? *listener : nobody;
    const std::string_view text(data, size);
    told.fileRead(text);
    // A byte order mark from an editor is no part of the first time.
    std::size_t position = text.starts_with(utf8ByteOrderMark) ? utf8ByteOrderMark.size() : 0;
    if (position > 0) told.byteOrderMark();
    unsigned lineNumber = 0;
    while (position < text.size()) {
        ++lineNumber;
        std::size_t lineEnd = text.find('\n', position);
        const bool hasLineFeed = lineEnd != std::string_view::npos;
        if (!hasLineFeed) lineEnd = text.size();
        std::string_view line = text.substr(position, lineEnd - position);
        position = hasLineFeed ? lineEnd + 1 : lineEnd;
        // Text-mode reading drops the carriage return of a CR LF pair.
        if (hasLineFeed && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) {
            told.emptyLine(static_cast<int>(lineNumber),
                           text.substr(position).find_first_not_of("\r\n") != std::string_view::npos);
            return;
        }
        const bool tooLong = line.size() > maxSyncLineLength;
        if (tooLong) line = line.substr(0, maxSyncLineLength);

        std::string_view fields[3];
        if (splitFields(line, fields) < 3) {
            if (!quiet)
                QUARN_REPORTF(Output, "sync line %u skipped: it needs a time, a name and a target\n", lineNumber);
            told.line(static_cast<int>(lineNumber), line, nullptr, tooLong);
        } else {
            track.push_back(SyncEvent{readTime(fields[0]), std::string(fields[1]), readTarget(fields[2])});
            told.line(static_cast<int>(lineNumber), line, &track.back(), tooLong);
        }
        if (tooLong) return;
    }
}

bool readSyncTrack(const std::string& path, SyncTrack& track, const FileReader& readFile, SyncListener* listener) {
    std::vector<uint8_t> bytes;
    if (!(readFile ? readFile(path, bytes, nullptr, noFileSizeLimit) : readFileBytes(path, bytes))) {
        QUARN_REPORT(Output, "fuck, couldn't load file\n");
        return false;
    }
    readSyncTrackFromBytes(reinterpret_cast<const char*>(bytes.data()), bytes.size(), track, false, listener);
    return true;
}

DemoTimes demoTimesOf(const SyncTrack& track) {
    const SyncEvent* fadeOut = nullptr;
    const SyncEvent* end = nullptr;
    for (const SyncEvent& event : track) {
        if (!fadeOut && event.name == fadeOutEventName) fadeOut = &event;
        if (!end && event.name == endEventName) end = &event;
    }
    DemoTimes times;
    if (!fadeOut && !end) return times;
    const auto bounded = [](float t) { return std::fmin(std::fmax(t, 0.0f), longestDemoTime); };
    const float defaultFade = times.fadeSeconds;
    times.fromSyncFile = true;
    times.end = end ? bounded(end->time) : bounded(fadeOut->time + defaultFade);
    times.fadeOut = fadeOut ? bounded(fadeOut->time) : std::fmax(times.end - defaultFade, 0.0f);
    // A fade due at or after the end never sounds: the music stops there.
    times.fadeSeconds = std::fmax(times.end - times.fadeOut, 0.0f);
    return times;
}

DemoTimes readDemoTimes(const std::string& path) {
    std::string bytes;
    SyncTrack track;
    if (readFileText(path, bytes)) readSyncTrackFromBytes(bytes.data(), bytes.size(), track, true);
    return demoTimesOf(track);
}
