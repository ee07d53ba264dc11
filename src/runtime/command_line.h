#pragma once
// The player's options. Without any, it plays full screen as it always has.
#include <string>

struct CommandLine {
    bool windowed = false;  // no display switch; the title shows time and rate
    bool help = false;
    double startTime = 0.0;        // --start: demo time (and music position) of the first frame
    double untilTime = 0.0;        // --until: demo time at which the run ends; 0: the demo's own end
    std::string captureDirectory;  // --capture: write frames and sound here
    int fps = 60;                  // --fps: frames per demo second when capturing or benchmarking
    bool fpsGiven = false;
    bool benchmark = false;     // --benchmark: fixed steps, timed, nothing written
    bool check = false;         // --check: report the demo's likely mistakes, play nothing
    bool live = false;          // --live: windowed, files watched and read again, pause and seek keys
    bool checkFlashes = false;  // --check-flashes: fixed steps, each frame read back, too many flashes reported
    bool safe = false;          // --safe: frames that would flash too often held back by blending
    std::string directory;      // DIR: where the demo's files are; empty: the current directory
    bool gles2 = false;         // --renderer gles2: shaders through an OpenGL ES 2 context
    int width = 0;              // --size: the drawable's size; 0 (not given): the player's own 640x480
    int height = 0;
    bool desktopSize = false;   // --size desktop: the desktop's resolution
    std::string unknownOption;  // the first argument not understood, if any
    std::string error;          // an option given wrongly, if any: what is wrong
};

// Sides --size accepts before the GL is asked what it can draw.
constexpr int largestSizeSide = 65535;

CommandLine parseCommandLine(int argc, const char* const* argv);
// WIDTHxHEIGHT, each side 1 to largestSizeSide; false for anything else.
bool readSize(const char* text, int& width, int& height);
// The usage text, several lines, each ending in a newline.
const char* usageText();
