#pragma once
// The player's options. Without any, it plays full screen as it always has.
#include <string>

struct CommandLine {
    bool windowed = false;  // no display switch; the title shows time and rate
    bool help = false;
    std::string unknownOption;  // the first argument not understood, if any
};

CommandLine parseCommandLine(int argc, const char* const* argv);
// The usage text, several lines, each ending in a newline.
const char* usageText();
