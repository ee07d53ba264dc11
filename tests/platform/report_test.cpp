#include "platform/report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/captured_console.h"

TEST(Report, ConsoleKeepsStreamsAndLineEndsAsWritten) {
    const CapturedConsole console = captureConsole([] {
        QUARN_REPORT(Output, "streaming file [12 bytes]");
        QUARN_REPORT(Log, "a log line");
        QUARN_REPORTF(Error, "error %d%s", 7, "!\n");
    });
    EXPECT_EQ(console.out, "streaming file [12 bytes]");
    EXPECT_EQ(console.err, "a log line\nerror 7!\n");
}

TEST(Report, ASwappedSinkTakesEverythingUntilItsScopeEnds) {
    std::vector<std::string> seen;
    {
        ReportSinkScope scope([&](ReportLevel level, const char* file, int line, std::string_view text) {
            seen.push_back(std::to_string(static_cast<int>(level)) + " " + std::string(text));
            EXPECT_NE(std::string(file).find("report_test.cpp"), std::string::npos);
            EXPECT_GT(line, 0);
        });
        const CapturedConsole console = captureConsole([] {
            QUARN_REPORTF(Error, "%s", "unseen");
            QUARN_REPORT(Output, "also unseen");
        });
        EXPECT_EQ(console.out + console.err, "");
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"2 unseen", "0 also unseen"}));
    const CapturedConsole console = captureConsole([] { QUARN_REPORT(Output, "back"); });
    EXPECT_EQ(console.out, "back");
}
