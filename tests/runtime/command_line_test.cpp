#include "runtime/command_line.h"

#include <gtest/gtest.h>

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

    CommandLine both = parse({"--windowed", "--help"});
    EXPECT_TRUE(both.windowed);
    EXPECT_TRUE(both.help);

    CommandLine unknown = parse({"--windowed", "--fullscreen", "--bogus"});
    EXPECT_EQ(unknown.unknownOption, "--fullscreen");
    EXPECT_EQ(parse({"iDemo.dat"}).unknownOption, "iDemo.dat");
}

}  // namespace
