#include "authoring/sync_recorder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "support/scratch_directory.h"

namespace {

void writeFile(const std::string& bytes) { std::ofstream("test.dat", std::ios::binary) << bytes; }

std::string fileBytes() {
    std::ifstream in("test.dat", std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// A file written with CR LF, three decimals and wide blanks, with a line the
// player skips and lines after the empty one that ends its reading: events
// land in time order in its manner, and nothing else of it changes.
TEST(SyncRecorderTest, EventsLandSortedInTheFilesOwnManner) {
    ScratchDirectory scratch;
    const std::string original =
        "\xEF\xBB\xBF"
        "1.500  offset  2\r\n"
        "oops\r\n"
        "4.250  zrotate  1\r\n"
        "4.250  zrotate  1\r\n"
        "\r\n"
        "0.1 never read 0\r\n";
    writeFile(original);
    SyncRecorder recorder("test.dat");
    recorder.refresh();
    ASSERT_EQ(recorder.events().size(), 3u);
    EXPECT_EQ(recorder.defaultEvent()->name, "zrotate");

    EXPECT_TRUE(recorder.record(4.25, "pushback", 3).done);
    EXPECT_TRUE(recorder.record(0.2, "offset", 0).done);
    const SyncEdit last = recorder.record(9.87654, "offset", 1);
    EXPECT_TRUE(last.done);
    EXPECT_EQ(last.message, "recorded 9.877 offset 1 in test.dat");
    EXPECT_EQ(fileBytes(),
              "\xEF\xBB\xBF"
              "0.200  offset  0\r\n"
              "1.500  offset  2\r\n"
              "oops\r\n"
              "4.250  zrotate  1\r\n"
              "4.250  zrotate  1\r\n"
              "4.250  pushback  3\r\n"
              "9.877  offset  1\r\n"
              "\r\n"
              "0.1 never read 0\r\n");
    EXPECT_EQ(recorder.defaultEvent()->target, 1);

    // The nearest event goes; of two at equal distance, the first.
    EXPECT_TRUE(recorder.removeNearest(4.0).done);
    EXPECT_EQ(recorder.events().size(), 5u);
    EXPECT_EQ(recorder.events()[2].name, "zrotate");
    EXPECT_EQ(recorder.events()[3].name, "pushback");

    EXPECT_FALSE(recorder.record(1.0, "two words", 0).done);

    // A line too long ends the player's reading: a later event goes before it.
    const std::string tooLong = "2.00 offset 0" + std::string(300, ' ') + "x\n";
    writeFile("1.00 offset 0\n" + tooLong + "3.00 never 0\n");
    recorder.refresh();
    ASSERT_TRUE(recorder.record(5.0, "offset", 1).done);
    EXPECT_EQ(fileBytes(), "1.00 offset 0\n5.00 offset 1\n" + tooLong + "3.00 never 0\n");
}

// Undo gives back the exact bytes, down to a file that had no last line end
// and, last, no file at all.
TEST(SyncRecorderTest, UndoRestoresEveryEarlierFileByteForByte) {
    ScratchDirectory scratch;
    SyncRecorder recorder("test.dat");
    recorder.refresh();
    ASSERT_TRUE(recorder.record(2.0, "offset", 1).done);
    EXPECT_EQ(fileBytes(), "2.00 offset 1\n");
    writeFile("3 offset 1\n8 end 0");
    recorder.refresh();
    EXPECT_FALSE(recorder.canUndo());  // made on bytes an editor replaced

    std::vector<std::string> versions{fileBytes()};
    ASSERT_TRUE(recorder.record(9.5, "zrotate", 2).done);
    versions.push_back(fileBytes());
    EXPECT_EQ(versions.back(), "3 offset 1\n8 end 0\n9.50 zrotate 2");
    ASSERT_TRUE(recorder.record(0.0, "offset", 0).done);
    versions.push_back(fileBytes());
    ASSERT_TRUE(recorder.removeNearest(100.0).done);
    versions.push_back(fileBytes());
    EXPECT_EQ(versions.back(), "0.00 offset 0\n3 offset 1\n8 end 0");
    ASSERT_TRUE(recorder.removeNearest(8.2).done);
    EXPECT_EQ(fileBytes(), "0.00 offset 0\n3 offset 1");

    for (auto version = versions.rbegin(); version != versions.rend(); ++version) {
        ASSERT_TRUE(recorder.undo().done);
        EXPECT_EQ(fileBytes(), *version);
    }
    EXPECT_EQ(recorder.undo().message, "nothing to undo in test.dat");

    std::filesystem::remove("test.dat");
    recorder.refresh();
    ASSERT_TRUE(recorder.record(1.0, "offset", 0).done);
    ASSERT_TRUE(recorder.undo().done);
    EXPECT_FALSE(std::filesystem::exists("test.dat"));
}

// An editor saves between two recordings: the second waits until the file
// has been read again, and then keeps the editor's words.
TEST(SyncRecorderTest, EditorsChangeBetweenTwoRecordingsSurvives) {
    ScratchDirectory scratch;
    writeFile("1.00 offset 0\n");
    SyncRecorder recorder("test.dat");
    recorder.refresh();
    ASSERT_TRUE(recorder.record(2.0, "offset", 1).done);

    writeFile("1.00 offset 0\n2.00 offset 1\n3.00 pushback 2\n");
    const SyncEdit refused = recorder.record(4.0, "offset", 1);
    EXPECT_FALSE(refused.done);
    EXPECT_EQ(refused.message, "test.dat changed since it was last read: nothing written (try again once it is read)");
    EXPECT_FALSE(recorder.undo().done);
    EXPECT_EQ(fileBytes(), "1.00 offset 0\n2.00 offset 1\n3.00 pushback 2\n");

    recorder.refresh();
    ASSERT_TRUE(recorder.record(4.0, "offset", 1).done);
    EXPECT_EQ(fileBytes(), "1.00 offset 0\n2.00 offset 1\n3.00 pushback 2\n4.00 offset 1\n");
    ASSERT_TRUE(recorder.undo().done);
    EXPECT_EQ(fileBytes(), "1.00 offset 0\n2.00 offset 1\n3.00 pushback 2\n");
    EXPECT_FALSE(recorder.canUndo());
    EXPECT_FALSE(std::filesystem::exists("test.dat.quarn2-new"));
}

}  // namespace
