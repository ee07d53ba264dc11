#include "runtime/command_line.h"

#include <cstring>

CommandLine parseCommandLine(int argc, const char* const* argv) {
    CommandLine line;
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (std::strcmp(argument, "--windowed") == 0) {
            line.windowed = true;
        } else if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
            line.help = true;
        } else {
            line.unknownOption = argument;
            break;
        }
    }
    return line;
}

const char* usageText() {
    return "Usage: quarn2 [--windowed] [--help]\n"
           "Plays the demo in the current directory (test.dat, iDemo.dat, demomusik.mp3)\n"
           "full screen at 640x480 until it ends, Escape is pressed or the window is closed.\n"
           "  --windowed  play in a window without changing the display mode;\n"
           "              the title shows the time and the frame rate\n"
           "  --help      show this text and exit\n";
}
