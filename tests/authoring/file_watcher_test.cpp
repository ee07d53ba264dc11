#include "authoring/file_watcher.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "support/test_audio.h"

namespace {

void write(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

using Paths = std::vector<std::string>;

TEST(FileWatcher, ReportsEachSettledChangeOnceRenamesAndDeletionsIncluded) {
    const std::string directory = makeScratchDirectory();
    const std::string script = directory + "/iDemo.dat";
    const std::string picture = directory + "/red.tga";
    write(script, "bah\n");
    FileWatcher watcher;
    watcher.watch({script, picture, script});
    EXPECT_EQ(watcher.poll(), Paths{});

    // Reported on the poll after the one that saw it move, and only once.
    write(script, "bah bah\n");
    EXPECT_EQ(watcher.poll(), Paths{});
    EXPECT_EQ(watcher.poll(), Paths{script});
    EXPECT_EQ(watcher.poll(), Paths{});

    // An editor's save: a new file of the same size and time renamed over it.
    struct stat before {};
    ASSERT_EQ(stat(script.c_str(), &before), 0);
    write(script + ".tmp", "bah bee\n");
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(utimensat(AT_FDCWD, (script + ".tmp").c_str(), times, 0), 0);
    std::filesystem::rename(script + ".tmp", script);
    watcher.poll();
    EXPECT_EQ(watcher.poll(), Paths{script});

    // A file named but missing counts once it appears, and again once gone.
    write(picture, "x");
    watcher.poll();
    EXPECT_EQ(watcher.poll(), Paths{picture});
    std::filesystem::remove(picture);
    watcher.poll();
    EXPECT_EQ(watcher.poll(), Paths{picture});
    std::filesystem::remove_all(directory);
}

}  // namespace
