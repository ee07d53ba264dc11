#include "runtime/command_line.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr int highestFps = 1000;

// The whole text must be the number.
bool readNumber(const char* text, double& value) {
    if (text == nullptr || *text == '\0') return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text, &end);
    return errno == 0 && *end == '\0' && std::isfinite(value);
}

bool readWholeNumber(const char* text, int low, int high, int& value) {
    if (text == nullptr || *text == '\0') return false;
    char* end = nullptr;
    errno = 0;
    const long number = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || number < low || number > high) return false;
    value = static_cast<int>(number);
    return true;
}

// A refusal names the value given, so that a typo shows.
std::string refusal(const char* need, const char* value) {
    return value == nullptr ? std::string(need) : std::string(need) + ", not '" + value + "'";
}

}  // namespace

bool readSize(const char* text, int& width, int& height) {
    if (text == nullptr) return false;
    const char* cross = std::strchr(text, 'x');
    if (cross == nullptr || cross == text) return false;
    const std::string first(text, cross);
    // strtol would take a sign or spaces; a size is digits only.
    const auto digitsOnly = [](const char* from) {
        for (; *from; ++from)
            if (*from < '0' || *from > '9') return false;
        return true;
    };
    if (!digitsOnly(first.c_str()) || !digitsOnly(cross + 1)) return false;
    return readWholeNumber(first.c_str(), 1, largestSizeSide, width) &&
           readWholeNumber(cross + 1, 1, largestSizeSide, height);
}

CommandLine parseCommandLine(int argc, const char* const* argv) {
    CommandLine line;
    for (int i = 1; i < argc && line.error.empty(); ++i) {
        const char* argument = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (std::strcmp(argument, "--windowed") == 0) {
            line.windowed = true;
        } else if (std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0) {
            line.help = true;
        } else if (std::strcmp(argument, "--benchmark") == 0) {
            line.benchmark = true;
        } else if (std::strcmp(argument, "--check") == 0) {
            line.check = true;
        } else if (std::strcmp(argument, "--live") == 0) {
            line.live = true;
        } else if (std::strcmp(argument, "--check-flashes") == 0) {
            line.checkFlashes = true;
        } else if (std::strcmp(argument, "--safe") == 0) {
            line.safe = true;
        } else if (argument[0] != '-' && line.directory.empty()) {
            line.directory = argument;
        } else if (std::strcmp(argument, "--start") == 0) {
            if (!readNumber(value, line.startTime) || line.startTime < 0.0)
                line.error = refusal("--start needs a time in seconds, 0 or more", value);
            ++i;
        } else if (std::strcmp(argument, "--until") == 0) {
            if (!readNumber(value, line.untilTime) || line.untilTime <= 0.0)
                line.error = refusal("--until needs a time in seconds, more than 0", value);
            ++i;
        } else if (std::strcmp(argument, "--fps") == 0) {
            if (!readWholeNumber(value, 1, highestFps, line.fps))
                line.error = refusal("--fps needs a whole number of frames per second from 1 to 1000", value);
            line.fpsGiven = true;
            ++i;
        } else if (std::strcmp(argument, "--renderer") == 0) {
            if (value != nullptr && std::strcmp(value, "gles2") == 0)
                line.gles2 = true;
            else if (value == nullptr || std::strcmp(value, "gl") != 0)
                line.error = "--renderer needs gl or gles2";
            ++i;
        } else if (std::strcmp(argument, "--size") == 0) {
            if (value != nullptr && std::strcmp(value, "desktop") == 0)
                line.desktopSize = true;
            else if (!readSize(value, line.width, line.height))
                line.error = refusal("--size needs WIDTHxHEIGHT, each side from 1 to 65535, or desktop", value);
            ++i;
        } else if (std::strcmp(argument, "--capture") == 0) {
            if (value == nullptr || *value == '\0')
                line.error = "--capture needs a directory or a .mp4 or .mkv file";
            else
                line.captureDirectory = value;
            ++i;
        } else {
            line.unknownOption = argument;
            break;
        }
    }
    if (line.error.empty() && line.unknownOption.empty()) {
        if (line.benchmark && !line.captureDirectory.empty())
            line.error = "--capture and --benchmark cannot be combined";
        else if (line.live && (line.benchmark || !line.captureDirectory.empty()))
            line.error = "--live cannot be combined with --capture or --benchmark";
        else if (line.fpsGiven && line.captureDirectory.empty() && !line.benchmark)
            line.error = "--fps needs --capture or --benchmark";
        else if (line.live && line.untilTime > 0.0)
            line.error = "--live runs until it is closed: it cannot be combined with --until";
        else if (line.live && line.gles2)
            line.error = "--live draws with the gl renderer: it cannot be combined with --renderer gles2";
        else if (line.untilTime > 0.0 && line.untilTime <= line.startTime)
            line.error = "--until needs a time later than --start";
        else if (line.checkFlashes && (line.check || line.live || line.benchmark || !line.captureDirectory.empty()))
            line.error = "--check-flashes cannot be combined with --check, --live, --capture or --benchmark";
        else if (line.safe && (line.check || line.live || line.benchmark || line.checkFlashes))
            line.error =
                "--safe is for play and --capture: it cannot be combined with --check, --live, "
                "--benchmark or --check-flashes";
        else if ((line.width > 0 || line.desktopSize) && (line.check || line.checkFlashes))
            line.error =
                "--size is for play, --live, --capture and --benchmark: it cannot be combined with --check "
                "or --check-flashes";
        else if ((line.width > 0 || line.desktopSize) && line.safe)
            line.error = "--safe calms the 640x480 picture: it cannot be combined with --size";
        else if (line.safe && line.gles2)
            line.error = "--safe needs --renderer gl: an OpenGL ES 2 context cannot draw its pictures back";
    }
    return line;
}

const char* usageText() {
    return "Usage: quarn2 [--windowed] [--start SECONDS] [--until SECONDS] [--capture DIR|FILE [--fps N] | --benchmark "
           "| --live]\n"
           "              [--size WxH|desktop] [--safe] [--renderer gl|gles2] [--help] [DIR]\n"
           "       quarn2 --check [DIR]\n"
           "       quarn2 --check-flashes [--start SECONDS] [--until SECONDS] [DIR]\n"
           "Plays the demo in DIR, by default the current directory (test.dat, iDemo.dat,\n"
           "demomusik.mp3), full screen at 640x480 until it ends, Escape is pressed or the\n"
           "window is closed.\n"
           "  DIR                the demo's directory; its files are read from there\n"
           "                       quarn2 --windowed demo\n"
           "  --windowed         play in a window without changing the display mode;\n"
           "                     the title shows the time and the frame rate\n"
           "                       quarn2 --windowed\n"
           "  --size WxH         draw at W by H pixels: the window, the full screen, the\n"
           "                     capture or the benchmark; the 4:3 picture is drawn\n"
           "                     natively at the largest size that fits, centred between\n"
           "                     black bars. A capture draws off screen, so any size up\n"
           "                     to the GL's largest works; a video needs even sides.\n"
           "                     desktop: the desktop's resolution\n"
           "                       quarn2 --capture demo.mp4 --size 3840x2160\n"
           "  --start SECONDS    begin at that demo time, the music at the same place;\n"
           "                     the effects stand as a run from 0 has them there\n"
           "                       quarn2 --windowed --start 92.5\n"
           "  --until SECONDS    end the run at that demo time (a capture's files are\n"
           "                     completed, a benchmark's figures printed)\n"
           "                       quarn2 --windowed --start 10 --until 12 --capture shots --fps 10\n"
           "  --capture DIR      write every frame as DIR/frame_000000.png, ... and the\n"
           "                     music as heard as DIR/audio.wav, in fixed steps of\n"
           "                     1/N s without waiting; ends where playback would end\n"
           "                       quarn2 --windowed --capture shots --fps 30 --start 60\n"
           "  --capture FILE     the same encoded into one video file, H.264 and AAC,\n"
           "                     when the name ends in .mp4 or .mkv\n"
           "                       quarn2 --windowed --capture demo.mp4\n"
           "  --fps N            steps per second for --capture or --benchmark (default 60)\n"
           "                       quarn2 --capture video --fps 25\n"
           "  --benchmark        play in steps of 1/60 s as fast as possible, writing\n"
           "                     nothing; then print draw times per effect type, frame\n"
           "                     time median and 99th percentile, the worst second, the\n"
           "                     floor (clear and swap only) and the start-up time\n"
           "                       quarn2 --windowed --benchmark\n"
           "  --renderer NAME    gl (the default): the fixed-function pipeline; gles2:\n"
           "                     generated shaders through an OpenGL ES 2 context, as\n"
           "                     the browser build draws\n"
           "                       quarn2 --windowed --renderer gles2\n"
           "  --check [DIR]      read the demo in DIR (default: here) without playing it and\n"
           "                     print each likely mistake as FILE:LINE: error|warning: ...;\n"
           "                     exit status 1 when there is an error\n"
           "                       quarn2 --check demo\n"
           "  --check-flashes [DIR]  play the demo in DIR (default: here) in steps of\n"
           "                     1/60 s, unseen and silent, and print each stretch with more\n"
           "                     than three general or red flashes in one second on a\n"
           "                     quarter of a 10-degree field, then a summary; exit status 1\n"
           "                     when there is one (docs/flash-safety.md)\n"
           "                       quarn2 --check-flashes demo --start 60 --until 90\n"
           "  --safe             play or capture with the stretches --check-flashes finds\n"
           "                     calmed: a frame that would make one second hold more than\n"
           "                     three flashes is blended with the one shown before it.\n"
           "                     The check runs first (its result is kept in the demo's\n"
           "                     directory as .quarn2-flashes). An aid, not a guarantee\n"
           "                       quarn2 --windowed --safe demo\n"
           "  --live             play in a window for authoring: an edited script, sync file,\n"
           "                     music, picture or object is read again at once, the time\n"
           "                     and the music keep their place; a broken edit keeps the\n"
           "                     last good demo. Space pauses, Left/Right seek 1 s, Down/Up\n"
           "                     10 s, Home goes to 0, R reads everything again, C hides\n"
           "                     or shows --check's errors over the picture; at the end\n"
           "                     it pauses\n"
           "                       quarn2 --live demo\n"
           "  --help             show this text and exit\n"
           "                       quarn2 --help\n";
}
