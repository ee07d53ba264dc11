#include "player/sync_track.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>

#include "support/test_audio.h"

namespace {

struct ReadResult {
    SyncTrack track;
    std::string output;
};

ReadResult readText(const std::string& text) {
    ReadResult result;
    testing::internal::CaptureStdout();
    readSyncTrackFromBytes(text.data(), text.size(), result.track);
    result.output = testing::internal::GetCapturedStdout();
    return result;
}

void expectEvent(const SyncEvent& event, float time, const std::string& name, int32_t target) {
    EXPECT_EQ(event.time, time);
    EXPECT_EQ(event.name, name);
    EXPECT_EQ(event.target, target);
}

}  // namespace

TEST(SyncTrack, AByteOrderMarkBeforeTheFirstTimeIsSkipped) {
    const ReadResult result = readText(
        "\xEF\xBB\xBF"
        "12.5 offset 2\n");
    ASSERT_EQ(result.track.size(), 1u);
    expectEvent(result.track[0], 12.5f, "offset", 2);
}

TEST(SyncTrack, FieldsAreSplitAtRunsOfBlanksAndReadLikeAtofAndAtoi) {
    const ReadResult result = readText(
        "12.5 offset 2\n"
        "  3   zrotate   0\n"
        "12.5abc pushback x\n"
        "-1.5e1 spin -7 trailing words\n"
        "4 name\t3\t5 1\r\n"
        ".5 last 9");
    ASSERT_EQ(result.track.size(), 6u);
    expectEvent(result.track[0], 12.5f, "offset", 2);
    expectEvent(result.track[1], 3.0f, "zrotate", 0);
    expectEvent(result.track[2], 12.5f, "pushback", 0);
    expectEvent(result.track[3], -15.0f, "spin", -7);
    // A tab belongs to its field; the carriage return of CR LF is dropped.
    expectEvent(result.track[4], 4.0f, "name\t3\t5", 1);
    // The last line needs no line feed.
    expectEvent(result.track[5], 0.5f, "last", 9);
    EXPECT_EQ(result.output, "");
}

TEST(SyncTrack, ShortLinesAreSkippedWithAMessage) {
    // "3\tzrotate 0" has two fields: the tab joins the time and the name.
    const ReadResult result = readText("1 a 0\n3\tzrotate 0\n   \n2 b\n5 c 1\n");
    ASSERT_EQ(result.track.size(), 2u);
    expectEvent(result.track[0], 1.0f, "a", 0);
    expectEvent(result.track[1], 5.0f, "c", 1);
    EXPECT_EQ(result.output,
              "sync line 2 skipped: it needs a time, a name and a target\n"
              "sync line 3 skipped: it needs a time, a name and a target\n"
              "sync line 4 skipped: it needs a time, a name and a target\n");
}

TEST(SyncTrack, AnEmptyLineStopsReading) {
    EXPECT_TRUE(readText("").track.empty());
    EXPECT_TRUE(readText("\n1 a 0\n").track.empty());
    EXPECT_TRUE(readText("\r\n1 a 0\n").track.empty());
    const ReadResult result = readText("1 a 0\n2 b 1\n\n3 c 2\n");
    ASSERT_EQ(result.track.size(), 2u);
    EXPECT_EQ(result.track[1].name, "b");
}

TEST(SyncTrack, LineLongerThan255IsCutAndEndsReading) {
    std::string exact = "1 a 4";
    exact.resize(255, ' ');
    const ReadResult fits = readText(exact + "\n2 b 5\n");
    ASSERT_EQ(fits.track.size(), 2u);

    std::string longLine = "1 a 4";
    longLine.resize(300, ' ');
    const ReadResult cut = readText(longLine + "\n2 b 5\n");
    ASSERT_EQ(cut.track.size(), 1u);
    expectEvent(cut.track[0], 1.0f, "a", 4);

    // The cut falls inside the name: 253 name characters survive.
    const ReadResult longName = readText("7 " + std::string(290, 'n') + " 3\n2 b 5\n");
    EXPECT_TRUE(longName.track.empty());
    EXPECT_EQ(longName.output, "sync line 1 skipped: it needs a time, a name and a target\n");
}

TEST(SyncTrack, OutOfRangeNumbersSaturateInsteadOfOverflowing) {
    const ReadResult result = readText(
        "1e300 huge 99999999999\n"
        "-1e300 tiny -99999999999\n"
        "nan n 0\n"
        "inf i 0\n"
        "0x10 h 0x10\n");
    ASSERT_EQ(result.track.size(), 5u);
    EXPECT_TRUE(std::isinf(result.track[0].time) && result.track[0].time > 0);
    EXPECT_EQ(result.track[0].target, INT32_MAX);
    EXPECT_TRUE(std::isinf(result.track[1].time) && result.track[1].time < 0);
    EXPECT_EQ(result.track[1].target, INT32_MIN);
    // No "nan" or "inf" words and no hex: such a time would never come due
    // and would hold back every later event.
    EXPECT_EQ(result.track[2].time, 0.0f);
    EXPECT_EQ(result.track[3].time, 0.0f);
    expectEvent(result.track[4], 0.0f, "h", 0);
}

TEST(SyncTrack, ReadsAFileAndReportsAMissingOne) {
    const std::string directory = makeScratchDirectory();
    std::ofstream(directory + "/test.dat") << "1 a 0\r\n2.25 b 3\r\n";
    SyncTrack track;
    testing::internal::CaptureStdout();
    EXPECT_TRUE(readSyncTrack(directory + "/test.dat", track));
    EXPECT_FALSE(readSyncTrack(directory + "/absent.dat", track));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "fuck, couldn't load file\n");
    ASSERT_EQ(track.size(), 2u);
    expectEvent(track[1], 2.25f, "b", 3);
    std::filesystem::remove_all(directory);
}

TEST(SyncTrack, FadeoutAndEndEventsSetTheDemosTimes) {
    const auto timesOf = [](const std::string& text) {
        SyncTrack track;
        readSyncTrackFromBytes(text.data(), text.size(), track, true);
        return demoTimesOf(track);
    };
    const DemoTimes usual = timesOf("1 zrotate 0\n");
    EXPECT_FALSE(usual.fromSyncFile);
    EXPECT_EQ(usual.fadeOut, 230.0f);
    EXPECT_EQ(usual.end, 255.0f);
    EXPECT_EQ(usual.fadeSeconds, 15.0f);

    // The first of each name counts, whatever its target and place.
    const DemoTimes both = timesOf("10 end 7\n8 fadeout 0\n20 end 0\n2 fadeout 1\n");
    EXPECT_EQ(both.fadeOut, 8.0f);
    EXPECT_EQ(both.end, 10.0f);
    EXPECT_EQ(both.fadeSeconds, 2.0f);

    const DemoTimes onlyEnd = timesOf("30 end 0\n");
    EXPECT_EQ(onlyEnd.fadeOut, 15.0f);
    EXPECT_EQ(onlyEnd.fadeSeconds, 15.0f);
    EXPECT_EQ(timesOf("5 end 0\n").fadeOut, 0.0f);
    const DemoTimes onlyFade = timesOf("40 fadeout 0\n");
    EXPECT_EQ(onlyFade.end, 55.0f);

    // A fade at or after the end cuts the music there; absurd times stay
    // within a day and never below 0.
    EXPECT_EQ(timesOf("12 fadeout 0\n10 end 0\n").fadeSeconds, 0.0f);
    const DemoTimes far = timesOf("1e30 end 0\n-4 fadeout 0\n");
    EXPECT_EQ(far.end, longestDemoTime);
    EXPECT_EQ(far.fadeOut, 0.0f);
}
