#include "platform/report.h"

#include <unistd.h>

#include <cstdio>
#include <string>
#include <utility>

namespace {

ReportSink& currentSink() {
    static ReportSink sink = writeToConsole;
    return sink;
}

}  // namespace

void writeToConsole(ReportLevel level, const char*, int, std::string_view text) {
    // A terminal's progress line ends in a carriage return, so the next
    // one overwrites it; anything else starts on a line of its own.
    static bool progressLineOpen = false;
    if (progressLineOpen && level != ReportLevel::Progress) {
        std::fputc('\n', stderr);
        progressLineOpen = false;
    }
    switch (level) {
    case ReportLevel::Output:
        std::fwrite(text.data(), 1, text.size(), stdout);
        break;
    case ReportLevel::Log:
        // Progress lines on standard output are buffered; flush them first so
        // a shared console shows both streams in the order they were written.
        std::fflush(stdout);
        std::fwrite(text.data(), 1, text.size(), stderr);
        std::fputc('\n', stderr);
        break;
    case ReportLevel::Error:
        std::fwrite(text.data(), 1, text.size(), stderr);
        break;
    case ReportLevel::Progress:
        progressLineOpen = isatty(fileno(stderr)) != 0;
        std::fwrite(text.data(), 1, text.size(), stderr);
        std::fputc(progressLineOpen ? '\r' : '\n', stderr);
        break;
    }
}

void report(ReportLevel level, const char* file, int line, std::string_view text) {
    const ReportSink& sink = currentSink();
    if (sink) sink(level, file, line, text);
}

void reportFormatted(ReportLevel level, const char* file, int line, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    va_list measuring;
    va_copy(measuring, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    std::string text;
    if (length > 0) {
        text.resize(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(text.data(), text.size(), format, arguments);
        text.resize(static_cast<std::size_t>(length));
    }
    va_end(arguments);
    report(level, file, line, text);
}

ReportSinkScope::ReportSinkScope(ReportSink sink) : previous(std::exchange(currentSink(), std::move(sink))) {}

ReportSinkScope::~ReportSinkScope() { currentSink() = std::move(previous); }
