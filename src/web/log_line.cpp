// The page tells the player's log lines from its errors: both reach the
// desktop's standard error, but a log line in the page's error colour would
// look like a failure. The text is the desktop's, line by line.
#include <emscripten.h>

#include <cstdio>
#include <string>

#include "framework/effect.h"

namespace {

EM_JS(void, showLogLine, (const char* text), {
    const line = UTF8ToString(text);
    if (Module["printLog"])
        Module["printLog"](line);
    else
        err(line);
});

}  // namespace

void logLine(const std::string& text) {
    // Lines already written keep their place before this one.
    std::fflush(stdout);
    std::fflush(stderr);
    const std::string whole = text + "\n";
    std::size_t begin = 0;
    for (std::size_t end = whole.find('\n'); end != std::string::npos; end = whole.find('\n', begin)) {
        showLogLine(whole.substr(begin, end - begin).c_str());
        begin = end + 1;
    }
}
