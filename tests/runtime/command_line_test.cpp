#include "runtime/command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace {

CommandLine parse(std::initializer_list<const char*> arguments) {
    std::vector<const char*> argv{"quarn2"};
    argv.insert(argv.end(), arguments);
    return parseCommandLine(static_cast<int>(argv.size()), argv.data());
}

TEST(CommandLineTest, OptionsAndTheFirstUnknownArgument) {
    CommandLine none = parse({});
    EXPECT_FALSE(none.windowed);
    EXPECT_FALSE(none.help);
    EXPECT_TRUE(none.unknownOption.empty());
    EXPECT_EQ(none.startTime, 0.0);
    EXPECT_TRUE(none.captureDirectory.empty());
    EXPECT_FALSE(none.benchmark);
    EXPECT_TRUE(none.error.empty());

    CommandLine both = parse({"--windowed", "--help"});
    EXPECT_TRUE(both.windowed);
    EXPECT_TRUE(both.help);

    CommandLine unknown = parse({"--windowed", "--fullscreen", "--bogus"});
    EXPECT_EQ(unknown.unknownOption, "--fullscreen");
    // One directory; a second is not understood.
    CommandLine directory = parse({"demo", "--check", "other"});
    EXPECT_EQ(directory.directory, "demo");
    EXPECT_TRUE(directory.check);
    EXPECT_EQ(directory.unknownOption, "other");
    EXPECT_TRUE(parse({"--live", "demo"}).live);
}

TEST(CommandLineTest, RendererIsGlOrGles2) {
    EXPECT_FALSE(parse({}).gles2);
    EXPECT_TRUE(parse({"--renderer", "gles2", "--windowed"}).gles2);
    EXPECT_FALSE(parse({"--renderer", "gl"}).gles2);
    EXPECT_EQ(parse({"--renderer", "vulkan"}).error, "--renderer needs gl or gles2");
    EXPECT_EQ(parse({"--renderer"}).error, "--renderer needs gl or gles2");
}

TEST(CommandLineTest, ValuedOptionsCombineWithWindowed) {
    CommandLine capture = parse({"--start", "92.5", "--windowed", "--capture", "shots", "--fps", "25"});
    EXPECT_TRUE(capture.error.empty()) << capture.error;
    EXPECT_EQ(capture.startTime, 92.5);
    EXPECT_TRUE(capture.windowed);
    EXPECT_EQ(capture.captureDirectory, "shots");
    EXPECT_EQ(capture.fps, 25);

    CommandLine bench = parse({"--benchmark", "--windowed"});
    EXPECT_TRUE(bench.benchmark);
    EXPECT_EQ(bench.fps, 60);
    EXPECT_TRUE(bench.error.empty());
}

TEST(CommandLineTest, BadValuesAndCombinationsAreRefused) {
    // A refused value is named, so that a typo shows.
    const std::string start = "--start needs a time in seconds, 0 or more";
    EXPECT_EQ(parse({"--start"}).error, start);
    EXPECT_EQ(parse({"--start", "-1"}).error, start + ", not '-1'");
    EXPECT_EQ(parse({"--start", "12s"}).error, start + ", not '12s'");
    EXPECT_EQ(parse({"--start", "nan"}).error, start + ", not 'nan'");
    EXPECT_EQ(parse({"--start", "inf"}).error, start + ", not 'inf'");
    EXPECT_EQ(parse({"--start", ""}).error, start + ", not ''");
    EXPECT_EQ(parse({"--until", "19.5.05"}).error, "--until needs a time in seconds, more than 0, not '19.5.05'");

    const std::string fps = "--fps needs a whole number of frames per second from 1 to 1000";
    EXPECT_EQ(parse({"--capture", "d", "--fps", "0"}).error, fps + ", not '0'");
    EXPECT_EQ(parse({"--capture", "d", "--fps", "29.97"}).error, fps + ", not '29.97'");
    EXPECT_EQ(parse({"--capture", "d", "--fps", "99999999999"}).error, fps + ", not '99999999999'");
    EXPECT_EQ(parse({"--capture", "d", "--fps"}).error, fps);

    EXPECT_EQ(parse({"--capture"}).error, "--capture needs a directory or a .mp4 or .mkv file");
    EXPECT_EQ(parse({"--capture", "d", "--benchmark"}).error, "--capture and --benchmark cannot be combined");
    EXPECT_EQ(parse({"--fps", "30"}).error, "--fps needs --capture or --benchmark");
    const std::string live = "--live cannot be combined with --capture or --benchmark";
    EXPECT_EQ(parse({"--live", "--benchmark"}).error, live);
    EXPECT_EQ(parse({"--capture", "d", "--live"}).error, live);
    // Live mode's overlay draws through the fixed-function pipeline.
    EXPECT_EQ(parse({"--live", "--renderer", "gles2"}).error,
              "--live draws with the gl renderer: it cannot be combined with --renderer gles2");
    EXPECT_EQ(parse({"--live", "--renderer", "gl"}).error, "");
    // An end at or before the start would play nothing.
    EXPECT_EQ(parse({"--start", "12", "--until", "12"}).error, "--until needs a time later than --start");
    EXPECT_EQ(parse({"--until", "0"}).error, "--until needs a time in seconds, more than 0, not '0'");
    // A value is never taken for an option of its own.
    EXPECT_EQ(parse({"--capture", "--windowed"}).captureDirectory, "--windowed");
}

TEST(CommandLineTest, FlashCheckAndSafeViewCombineOnlyWhereTheyMeanSomething) {
    const CommandLine check = parse({"--check-flashes", "demo", "--start", "60", "--until", "90"});
    EXPECT_TRUE(check.error.empty()) << check.error;
    EXPECT_TRUE(check.checkFlashes);
    EXPECT_EQ(check.directory, "demo");
    EXPECT_TRUE(parse({"--safe", "--capture", "shots", "--windowed"}).safe);
    const std::string checkAlone = "--check-flashes cannot be combined with --check, --live, --capture or --benchmark";
    EXPECT_EQ(parse({"--check-flashes", "--capture", "d"}).error, checkAlone);
    EXPECT_EQ(parse({"--check", "--check-flashes"}).error, checkAlone);
    EXPECT_EQ(parse({"--check-flashes", "--fps", "30"}).error, "--fps needs --capture or --benchmark");
    EXPECT_EQ(parse({"--safe", "--benchmark"}).error,
              "--safe is for play and --capture: it cannot be combined with --check, --live, --benchmark or "
              "--check-flashes");
    EXPECT_EQ(parse({"--safe", "--renderer", "gles2"}).error,
              "--safe needs --renderer gl: an OpenGL ES 2 context cannot draw its pictures back");
}

TEST(CommandLineTest, SizeIsTwoWholeSidesOrDesktop) {
    const CommandLine wide = parse({"--capture", "demo.mp4", "--size", "3840x2160"});
    EXPECT_TRUE(wide.error.empty()) << wide.error;
    EXPECT_EQ(wide.width, 3840);
    EXPECT_EQ(wide.height, 2160);
    EXPECT_TRUE(parse({"--size", "desktop"}).desktopSize);
    EXPECT_EQ(parse({}).width, 0);
    // Odd sides are fine for a window and for pictures (a video's are
    // refused where the size is settled, with the desktop's).
    EXPECT_TRUE(parse({"--windowed", "--size", "641x481"}).error.empty());
    EXPECT_TRUE(parse({"--capture", "shots", "--size", "641x480"}).error.empty());
    const char* const refused[] = {"0x0",      "100000x100000", "abc",      "640x",    "x480", "640x480x2",
                                   "-640x480", "+640x480",      "640 x480", "65536x1", ""};
    for (const char* text : refused)
        EXPECT_EQ(parse({"--size", text}).error,
                  std::string("--size needs WIDTHxHEIGHT, each side from 1 to 65535, or desktop, not '") + text + "'")
            << text;
    EXPECT_EQ(parse({"--size"}).error, "--size needs WIDTHxHEIGHT, each side from 1 to 65535, or desktop");
    EXPECT_FALSE(parse({"--check", "--size", "800x600"}).error.empty());
    EXPECT_FALSE(parse({"--safe", "--size", "800x600"}).error.empty());
}

}  // namespace
