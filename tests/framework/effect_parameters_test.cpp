#include <gtest/gtest.h>

#include <string>

#include "framework/effect.h"
#include "framework_test_helpers.h"
#include "platform/report.h"

namespace {

const std::string missingLine(const std::string& name) { return "Could not find value for parameter " + name + "\n\n"; }

TEST(EffectParameters, RewritingANameReplacesTheValueInPlace) {
    std::vector<std::string> journal;
    JournalEffect effect("Test", &journal);
    float first = 1.0f, second = 2.0f, other = 7.0f;
    effect.setFloat("size", &first);
    effect.setFloat("other", &other);
    effect.setFloat("size", &second);

    EXPECT_EQ(effect.floatParameters.size(), 2);
    EXPECT_EQ(effect.getFloat("size"), &second);
    EXPECT_EQ(effect.floatParameters.find("size"), effect.floatParameters.find("size"));
}

TEST(EffectParameters, EachKindHasItsOwnTableAndNamesAreCaseSensitive) {
    Effect effect;
    int three = 3;
    float twoAndAHalf = 2.5f;
    effect.setInt("speed", &three);
    effect.setFloat("speed", &twoAndAHalf);
    effect.setString("Speed", "fast");

    Console console = captureConsole([&] {
        EXPECT_EQ(*effect.getInt("speed"), 3);
        EXPECT_EQ(*effect.getFloat("speed"), 2.5f);
        EXPECT_STREQ(effect.getString("Speed"), "fast");
    });
    EXPECT_EQ(console.err, "");

    console = captureConsole([&] {
        EXPECT_EQ(effect.getString("speed"), nullptr);
        EXPECT_EQ(effect.getInt("Speed"), nullptr);
    });
    EXPECT_EQ(console.err, missingLine("speed") + missingLine("Speed"));
}

TEST(EffectParameters, EveryReaderReportsAnAbsentNameOncePerCall) {
    Effect effect;
    std::string value = "unchanged";
    const Console console = captureConsole([&] {
        EXPECT_EQ(effect.getFloat("a"), nullptr);
        EXPECT_EQ(effect.getInt("b"), nullptr);
        EXPECT_EQ(effect.getString("c"), nullptr);
        value = effect.getStringValue("d");
    });
    EXPECT_EQ(value, "");
    EXPECT_EQ(console.out, "");
    EXPECT_EQ(console.err, missingLine("a") + missingLine("b") + missingLine("c") + missingLine("d"));
}

TEST(EffectParameters, StringValueIsACopyAndStringIsTheStoredText) {
    Effect effect;
    const char* stored = "tex.tga";
    effect.setString("textureFilename", stored);
    EXPECT_EQ(effect.getString("textureFilename"), stored);
    EXPECT_EQ(effect.getStringValue("textureFilename"), "tex.tga");
}

TEST(EffectParameters, AFullTableDropsNewNamesWhileTheOtherTablesStillAccept) {
    Effect effect;
    static float values[ParameterTable<float*>::capacity + 1];
    Console console = captureConsole([&] {
        for (int i = 0; i < ParameterTable<float*>::capacity; ++i) effect.setFloat("f" + std::to_string(i), &values[i]);
    });
    EXPECT_EQ(console.err, "");

    int integer = 4;
    console = captureConsole([&] {
        effect.setFloat("one too many", &values[512]);
        effect.setInt("still fine", &integer);
        effect.setString("also fine", "yes");
        effect.setFloat("f0", &values[512]);  // an existing name may still change
    });
    EXPECT_EQ(console.err, "parameter could not be set!\n\n");
    EXPECT_EQ(effect.getInt("still fine"), &integer);
    EXPECT_STREQ(effect.getString("also fine"), "yes");
    EXPECT_EQ(effect.getFloat("f0"), &values[512]);
    console = captureConsole([&] { EXPECT_EQ(effect.getFloat("one too many"), nullptr); });
    EXPECT_EQ(console.err, missingLine("one too many"));
}

TEST(EffectParameters, InRangeIncludesBothBounds) {
    EXPECT_TRUE(inRange(1.0f, 1.0f, 2.0f));
    EXPECT_TRUE(inRange(1.0f, 2.0f, 2.0f));
    EXPECT_FALSE(inRange(1.0f, 2.0001f, 2.0f));
    EXPECT_FALSE(inRange(1.0f, 0.9999f, 2.0f));
    EXPECT_TRUE(inRange(-3, -3, 5));
    EXPECT_FALSE(inRange(-3, 6, 5));
}

TEST(EffectParameters, LogLinesAddOneNewlineOnStandardError) {
    const Console console = captureConsole([] {
        QUARN_REPORT(Log, "first");
        QUARN_REPORT(Log, "second\n");
    });
    EXPECT_EQ(console.out, "");
    EXPECT_EQ(linesOf(console.err), (std::vector<std::string>{"first", "second", ""}));
}

}  // namespace
