#include <cstdio>

#include "framework/effect.h"

void logLine(const std::string& text) {
    // Progress lines on standard output are buffered; flush them first so a
    // shared console shows both streams in the order they were written.
    std::fflush(stdout);
    std::fputs(text.c_str(), stderr);
    std::fputc('\n', stderr);
}
