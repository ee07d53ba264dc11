#include "platform/file_bytes.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "support/picture_files.h"

namespace {

TEST(FileBytes, OnlyRegularFilesAreReadAndEveryRefusalGivesTheSystemsReason) {
    ScratchDirectory scratch;
    writeBytes("data", {1, 2, 3});
    std::vector<uint8_t> bytes;
    std::string text, reason;
    EXPECT_TRUE(readFileBytes("data", bytes, &reason));
    EXPECT_EQ(bytes, (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_TRUE(readFileText("data", text));
    EXPECT_EQ(text, "\x01\x02\x03");

    // A directory opens like a file and used to read as empty; a FIFO would
    // block the player before it drew anything.
    std::filesystem::create_directory("folder");
    ASSERT_EQ(mkfifo("pipe", 0600), 0);
    for (const auto& [path, expected] :
         {std::pair{"absent", "No such file or directory"}, std::pair{"folder", "Is a directory"},
          std::pair{"pipe", "not a regular file"}}) {
        bytes = {9};
        EXPECT_FALSE(readFileBytes(path, bytes, &reason)) << path;
        EXPECT_EQ(reason, expected);
        EXPECT_TRUE(bytes.empty()) << path;
    }
    if (geteuid() != 0) {  // root may read anything
        chmod("data", 0);
        EXPECT_FALSE(readFileBytes("data", bytes, &reason));
        EXPECT_EQ(reason, "Permission denied");
    }
}

}  // namespace
