// The page tells the player's log lines from its errors: both reach the
// desktop's standard error, but a log line in the page's error colour would
// look like a failure. The text is the desktop's, line by line.
#include "web/page_log.h"

#include <emscripten.h>

#include <cstdio>
#include <string>

namespace {

EM_JS(void, showLogLine, (const char* text), {
    const line = UTF8ToString(text);
    if (Module["printLog"])
        Module["printLog"](line);
    else
        err(line);
});

}  // namespace

void sendReportToPage(ReportLevel level, const char* file, int line, std::string_view text) {
    if (level != ReportLevel::Log) {
        writeToConsole(level, file, line, text);
        return;
    }
    // Lines already written keep their place before this one.
    std::fflush(stdout);
    std::fflush(stderr);
    std::string whole(text);
    whole += '\n';
    std::size_t begin = 0;
    for (std::size_t end = whole.find('\n'); end != std::string::npos; end = whole.find('\n', begin)) {
        showLogLine(whole.substr(begin, end - begin).c_str());
        begin = end + 1;
    }
}
