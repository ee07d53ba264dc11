#pragma once
// The one route for everything the player tells its user. Every part reports
// through it; one sink decides where the words go. The console sink keeps
// each line on the stream and in the order the player has always written it;
// --check, the live overlay, the browser page and tests swap in their own.
#include <cstdarg>
#include <functional>
#include <string_view>

enum class ReportLevel {
    // Progress and results the player prints on standard output.
    Output,
    // A log line: standard error, after whatever standard output holds, with
    // a line end added.
    Log,
    // Warnings and errors on standard error, as written.
    Error,
    // A progress line on standard error, given without its line end: on a
    // terminal each rewrites the last in place, elsewhere each is kept.
    Progress,
};

// file and line name the reporting source line; text is written exactly as
// given (a text without a line end stays without one).
using ReportSink = std::function<void(ReportLevel level, const char* file, int line, std::string_view text)>;

void report(ReportLevel level, const char* file, int line, std::string_view text);
// printf-style, for the many lines built from numbers.
void reportFormatted(ReportLevel level, const char* file, int line, const char* format, ...)
    __attribute__((format(printf, 4, 5)));

#define QUARN_REPORT(level, text) report(ReportLevel::level, __FILE__, __LINE__, text)
#define QUARN_REPORTF(level, ...) reportFormatted(ReportLevel::level, __FILE__, __LINE__, __VA_ARGS__)

// The console: stdout for Output, stderr for the rest. A progress line left
// open on a terminal is ended before anything else is written.
void writeToConsole(ReportLevel level, const char* file, int line, std::string_view text);

// Puts a sink in force for its lifetime, then the previous one back.
class ReportSinkScope {
public:
    explicit ReportSinkScope(ReportSink sink);
    ~ReportSinkScope();
    ReportSinkScope(const ReportSinkScope&) = delete;
    ReportSinkScope& operator=(const ReportSinkScope&) = delete;

private:
    ReportSink previous;
};
