#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "framework/effect_instance.h"
#include "framework/script_reader.h"
#include "framework_test_helpers.h"
#include "player/effect_types.h"
#include "support/null_render_state.h"

namespace {

using Lines = std::vector<std::string>;

const char* const exampleScript =
    "# scene one\n"
    "defineEffect group as Effect\n"
    "end\n"
    "defineEffect warp as FxGLUVMap\n"
    "resolution : %2\n"
    "textureFilename : tex.jpg\n"
    "u : x*0.5+0.5+0.05*sin(t+r*8)\n"
    "v : y*0.5+0.5\n"
    "end\n"
    "createInstance of group as iDemo at 0 1000\n"
    "createInstance of warp as warp1 at 10 40\n"
    "addChild warp1 to iDemo\n"
    "bah\n";

const Lines exampleOutput = {"opening iDemo.dat",
                             "parsing file iDemo.dat",
                             "tk: defineEffect!",
                             "effect 0 : Effect",
                             "name : Effect",
                             "tk: defineEffect!",
                             "effect 0 : Effect",
                             "name : FxGLUVMap",
                             "effect 1 : FxGLLayerObject",
                             "name : FxGLUVMap",
                             "effect 2 : FxGLUVMap",
                             "name : FxGLUVMap",
                             "resolution = 2",
                             "tk: createInstance!",
                             "tk: createInstance!",
                             "tk: addChild!",
                             "tk: bah!",
                             "closed file",
                             "about to calc ename",
                             "ename: iDemo"};

// The five effect types, doubled by journal effects.
class ScriptReaderTest : public testing::Test {
protected:
    void SetUp() override {
        for (const std::string& type : effectTypeNames()) {
            reader.registerType(std::make_unique<JournalEffect>(type, &journal));
        }
    }

    EffectInstance* read(const std::string& script, const std::string& path = "iDemo.dat") {
        EffectInstance* root = nullptr;
        console = captureConsole([&] { root = reader.loadFromText(script, path, renderState); });
        return root;
    }

    // Statement lines and messages only, without the fixed opening and
    // closing lines every read writes.
    Lines statementOutput() const {
        Lines lines = linesOf(console.out);
        if (lines.size() < 5) return lines;
        return Lines(lines.begin() + 2, lines.end() - 3);
    }

    static JournalEffect* journalEffectOf(EffectInstance* instance) {
        return instance != nullptr ? dynamic_cast<JournalEffect*>(instance->getEffect()) : nullptr;
    }

    static std::string missing(const std::string& name) {
        return "Could not find value for parameter " + name + "\n\n";
    }

    Lines journal;
    NullRenderState renderState;
    KeyWaitCounter keyWaits;
    ScriptReader reader{ScriptReaderSetup{.limits = {}, .waitForKey = KeyWaitCounter::count}};
    Console console;
};

TEST_F(ScriptReaderTest, ExampleScriptBuildsItsTreeWithExactlyTheseLines) {
    EffectInstance* root = read(exampleScript);

    EXPECT_EQ(linesOf(console.out), exampleOutput);
    EXPECT_EQ(console.err, "");
    EXPECT_EQ(journal, (Lines{"init FxGLUVMap"}));

    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->getName(), "iDemo");
    EXPECT_EQ(root->getEffect()->typeName(), "Effect");
    ASSERT_EQ(root->getChildren().size(), 1u);
    EffectInstance* warp = root->getChildren()[0];
    EXPECT_EQ(warp->getName(), "warp1");
    EXPECT_EQ(warp->getStart(), 10.0f);
    EXPECT_EQ(warp->getEnd(), 40.0f);

    JournalEffect* effect = journalEffectOf(warp);
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(*effect->getInt("resolution"), 2);
    EXPECT_EQ(effect->getStringValue("textureFilename"), "tex.jpg");
    EXPECT_EQ(effect->getStringValue("u"), "x*0.5+0.5+0.05*sin(t+r*8)");
    EXPECT_EQ(effect->getStringValue("v"), "y*0.5+0.5");

    journal.clear();
    root->render(25, renderState);
    EXPECT_EQ(journal, (Lines{"draw FxGLUVMap window=10..40 t=15"}));
}

// A UTF-8 byte order mark, as some editors save, changes nothing.
TEST_F(ScriptReaderTest, FileReadingMatchesTextReadingAndSkipsAByteOrderMark) {
    const auto directory = std::filesystem::temp_directory_path() /
                           ("quarn_script_" + std::to_string(testing::UnitTest::GetInstance()->random_seed()));
    std::filesystem::create_directories(directory);
    const std::string path = (directory / "iDemo.dat").string();
    std::ofstream(path, std::ios::binary) << "\xEF\xBB\xBF" << exampleScript;

    EffectInstance* root = nullptr;
    console = captureConsole([&] { root = reader.load(path, renderState); });
    std::filesystem::remove_all(directory);

    Lines expected = exampleOutput;
    expected[0] = "opening " + path;
    expected[1] = "parsing file " + path;
    EXPECT_EQ(linesOf(console.out), expected);
    EXPECT_EQ(console.err, "");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->getName(), "iDemo");  // named after the file, not its directory
}

TEST_F(ScriptReaderTest, MissingFileStillFinishesAndReportsTheRoot) {
    EffectInstance* root = nullptr;
    console = captureConsole([&] { root = reader.load("no/such.dir/nothing.dat", renderState); });
    EXPECT_EQ(root, nullptr);
    EXPECT_EQ(linesOf(console.out), (Lines{"opening no/such.dir/nothing.dat", "couldn't open no/such.dir/nothing.dat",
                                           "closed file", "about to calc ename", "ename: nothing"}));
    EXPECT_EQ(console.err, missing("nothing"));
}

TEST_F(ScriptReaderTest, TopLevelSkippingRules) {
    read(
        "x\n"
        "\n"
        "#comment\n"
        "a \t \n"
        " #indented\n"
        "\tbah\n"
        "crlf\r\n"
        "bah\n"
        "never read\n");
    EXPECT_EQ(statementOutput(), (Lines{"tk: #indented!", "tk: \tbah!", "tk: crlf!", "tk: bah!"}));
    EXPECT_EQ(console.err, missing("iDemo"));
}

TEST_F(ScriptReaderTest, ScriptWithoutBahEndsAtItsLastCompleteLine) {
    read("first\nsecond\nbah");
    EXPECT_EQ(statementOutput(), (Lines{"tk: first!", "tk: second!"}));
    read("first\nlast");
    EXPECT_EQ(statementOutput(), (Lines{"tk: first!"}));
}

TEST_F(ScriptReaderTest, ParameterKindsFollowTheFirstCharacterOfTheValue) {
    EffectInstance* root = read(
        "defineEffect e as FxGLUVMap\n"
        "count : %12abc\n"
        "negative : %  -7\n"
        "huge : %99999999999\n"
        "none : %x\n"
        "ratio : 3abc\n"
        "exponent : 2.5e2x\n"
        "notHex : 0x10\n"
        "half : .5\n"
        "minus : -1.0\n"
        "file : a b.tga \n"
        "quoted : \"c d.tga\" \n"
        "wellQuoted : \"e.tga\"\n"
        "loneQuote : \"\n"
        "  indented   :   spaced value\n"
        "\ttabbed : 1\n"
        "empty :   \n"
        "end\n"
        "createInstance of e as iDemo at 0 1\n");

    EXPECT_EQ(statementOutput(),
              (Lines{"tk: defineEffect!", "effect 0 : Effect", "name : FxGLUVMap", "effect 1 : FxGLLayerObject",
                     "name : FxGLUVMap", "effect 2 : FxGLUVMap", "name : FxGLUVMap", "count = 12", "negative = -7",
                     "huge = 2147483647", "none = 0", "tk: createInstance!"}));
    EXPECT_EQ(console.err, "parameter type error!!!!\n");

    JournalEffect* effect = journalEffectOf(root);
    ASSERT_NE(effect, nullptr);
    console = captureConsole([&] {
        EXPECT_EQ(*effect->getInt("count"), 12);
        EXPECT_EQ(*effect->getInt("negative"), -7);
        EXPECT_EQ(*effect->getFloat("ratio"), 3.0f);
        EXPECT_EQ(*effect->getFloat("exponent"), 250.0f);
        EXPECT_EQ(*effect->getFloat("notHex"), 0.0f);
        EXPECT_EQ(effect->getStringValue("half"), ".5");
        EXPECT_EQ(effect->getStringValue("minus"), "-1.0");
        EXPECT_EQ(effect->getStringValue("file"), "a b.tga ");
        EXPECT_EQ(effect->getStringValue("quoted"), "c d.tga\"");
        EXPECT_EQ(effect->getStringValue("wellQuoted"), "e.tga");
        EXPECT_EQ(effect->getStringValue("loneQuote"), "");
        EXPECT_EQ(effect->getStringValue("indented"), "spaced value");
        EXPECT_EQ(*effect->getFloat("\ttabbed"), 1.0f);
    });
    EXPECT_EQ(console.err, "");
    console = captureConsole([&] {
        EXPECT_EQ(effect->getFloat("half"), nullptr);
        EXPECT_EQ(effect->getFloat("tabbed"), nullptr);
        EXPECT_EQ(effect->getStringValue("empty"), "");
    });
    EXPECT_EQ(console.err, missing("half") + missing("tabbed") + missing("empty"));
}

TEST_F(ScriptReaderTest, LineWithoutOperatorEndsTheBlockAfterAKeyPress) {
    for (const char* badLine : {"end ", " end", "", "# note", "name: value", "name :value"}) {
        SCOPED_TRACE(badLine);
        KeyWaitCounter::waits = 0;
        EffectInstance* root = read(std::string("defineEffect e as FxAsmParticles\n"
                                                "before : 1\n") +
                                    badLine +
                                    "\n"
                                    "after : 2\n"
                                    "end\n"
                                    "createInstance of e as iDemo at 0 1\n");
        EXPECT_EQ(KeyWaitCounter::waits, 1);
        EXPECT_EQ(console.err, "invalid operator!\n");
        const Lines lines = statementOutput();
        EXPECT_EQ(Lines(lines.end() - 3, lines.end()), (Lines{"tk: after!", "tk: end!", "tk: createInstance!"}));
        JournalEffect* effect = journalEffectOf(root);
        ASSERT_NE(effect, nullptr);
        captureConsole([&] {
            EXPECT_NE(effect->getFloat("before"), nullptr);
            EXPECT_EQ(effect->getFloat("after"), nullptr);
        });
    }
}

TEST_F(ScriptReaderTest, RedefinedNameCreatesASecondEffectThatCannotBeReached) {
    EffectInstance* root = read(
        "defineEffect twin as FxGLLayerObject\n"
        "which : %1\n"
        "end\n"
        "defineEffect twin as FxRenderParticles\n"
        "which : %2\n"
        "extra : %3\n"
        "end\n"
        "createInstance of twin as iDemo at 0 10\n"
        "createInstance of twin as second at 0 10\n"
        "addChild second to iDemo\n");

    EXPECT_EQ(journal, (Lines{"init FxGLLayerObject", "init FxRenderParticles"}));
    JournalEffect* effect = journalEffectOf(root);
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->typeName(), "FxGLLayerObject");
    EXPECT_EQ(*effect->getInt("which"), 2);
    EXPECT_EQ(*effect->getInt("extra"), 3);
    ASSERT_EQ(root->getChildren().size(), 1u);
    EXPECT_EQ(root->getChildren()[0]->getEffect(), effect);
}

TEST_F(ScriptReaderTest, UnknownTypeKeepsItsInstancesAsPlainGroups) {
    EffectInstance* root = read(
        "defineEffect ghost as FxNothing\n"
        "size : 3\n"
        "count : %4\n"
        "end\n"
        "defineEffect real as FxGLUVMap\n"
        "end\n"
        "createInstance of ghost as iDemo at 0 100\n"
        "createInstance of real as shown at 0 100\n"
        "createInstance of typo as lost at 0 100\n"
        "addChild shown to iDemo\n"
        "addChild lost to iDemo\n"
        "addChild nobody to nowhere\n");

    EXPECT_EQ(console.err,
              "Effect FxNothing could not be created!\n" + missing("typo") + missing("nobody") + missing("nowhere"));
    EXPECT_EQ(journal, (Lines{"init FxGLUVMap"}));
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->getEffect(), nullptr);
    EXPECT_EQ(root->getChildren().size(), 2u);

    journal.clear();
    root->render(5, renderState);
    EXPECT_EQ(journal, (Lines{"draw FxGLUVMap window=0..100 t=5"}));
    EXPECT_EQ(root->collectActive(5).size(), 3u);
}

TEST_F(ScriptReaderTest, StatementsMissingATokenAreRefused) {
    EffectInstance* root = read(
        "defineEffect lonely as\n"
        "defineEffect e as Effect\n"
        "end\n"
        "createInstance of e as iDemo at 0\n"
        "createInstance of e as iDemo at\n"
        "createInstance of e as iDemo\n"
        "createInstance of e as iDemo at -5 .5e1\n"
        "addChild iDemo to\n"
        "addChild iDemo\n"
        "addChild\n");

    EXPECT_EQ(console.err,
              "invalid effect definition in script!\n\n"
              "invalid addChild in script!\n"
              "invalid addChild in script!\n"
              "invalid addChild in script!\n"
              "invalid addChild in script!\n"
              "invalid addChild in script!\n"
              "invalid addChild in script!\n");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->getStart(), -5.0f);
    EXPECT_EQ(root->getEnd(), 5.0f);
}

TEST_F(ScriptReaderTest, AddChildThatWouldCloseALoopIsRefused) {
    EffectInstance* root = read(
        "defineEffect e as FxGLUVMap\n"
        "end\n"
        "createInstance of e as iDemo at 0 100\n"
        "createInstance of e as inner at 0 100\n"
        "addChild inner to iDemo\n"
        "addChild iDemo to inner\n"
        "addChild inner to inner\n");

    EXPECT_EQ(console.err,
              "instance iDemo cannot be a child of inner: it would contain itself!\n"
              "instance inner cannot be a child of inner: it would contain itself!\n");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->collectActive(1).size(), 2u);
}

TEST_F(ScriptReaderTest, SharedChildrenCannotMultiplyTheWorkOfAFrame) {
    // Both instances of each level are children of both of the level above:
    // 24 levels would be 2^25 visits a frame.
    std::string script = "defineEffect e as FxGLUVMap\nend\ncreateInstance of e as iDemo at 0 1000\n";
    for (int level = 1; level <= 24; ++level)
        for (const char* side : {"a", "b"})
            script += "createInstance of e as " + std::string(side) + std::to_string(level) + " at 0 1000\n";
    for (int level = 1; level <= 24; ++level) {
        const Lines parents =
            level == 1 ? Lines{"iDemo"} : Lines{"a" + std::to_string(level - 1), "b" + std::to_string(level - 1)};
        for (const std::string& parent : parents)
            for (const char* side : {"a", "b"})
                script += "addChild " + std::string(side) + std::to_string(level) + " to " + parent + "\n";
    }
    EffectInstance* root = read(script);

    const Lines refusals = linesOf(console.err);
    ASSERT_FALSE(refusals.empty());
    EXPECT_EQ(refusals[0], "instance a12 cannot be a child of a11: a frame would visit more than 4096 instances!");
    for (const std::string& line : refusals) EXPECT_NE(line.find("more than 4096 instances!"), std::string::npos);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->collectActive(1).size(), 4095u);  // the eleven levels that fit
}

TEST_F(ScriptReaderTest, ScriptEndingInsideABlockKeepsWhatWasRead) {
    EffectInstance* root = read(
        "createInstance of e as iDemo at 0 1\n"
        "defineEffect e as FxGLUVMap\n"
        "kept : %5\n"
        "end");
    // The instance came before its effect, so it only groups.
    EXPECT_EQ(console.err, missing("e") + "script ended inside the definition of e!\n");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->getEffect(), nullptr);
    EXPECT_EQ(journal, (Lines{"init FxGLUVMap"}));
    const Lines lines = statementOutput();
    EXPECT_EQ(lines.back(), "kept = 5");
}

TEST_F(ScriptReaderTest, LongLinesAreCutAndTheirRestIsNeverAStatement) {
    const std::string longValue(250, 'x');
    EffectInstance* root = read(
        "defineEffect e as FxGLUVMap\n"
        "u : " +
        longValue +
        "\n"
        "end\n"
        "createInstance of e as iDemo at 0 1" +
        std::string(300, ' ') + "bah\n");

    const std::string cut = "script line longer than 199 characters, the rest is ignored!\n";
    EXPECT_EQ(console.err, cut + cut);
    JournalEffect* effect = journalEffectOf(root);
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->getStringValue("u"), std::string(199 - 4, 'x'));
}

TEST_F(ScriptReaderTest, RootIsNamedAfterTheFileUpToItsFirstDot) {
    const std::string script =
        "defineEffect e as Effect\n"
        "end\n"
        "createInstance of e as scene at 0 1\n"
        "createInstance of e as iDemo at 0 1\n";
    EXPECT_EQ(read(script, "scene.v2.dat")->getName(), "scene");
    EXPECT_EQ(linesOf(console.out).back(), "ename: scene");
    EXPECT_EQ(read(script, "./dir.d/iDemo.dat")->getName(), "iDemo");
    EXPECT_EQ(read(script, "scene")->getName(), "scene");
    EXPECT_EQ(read(script, "other.dat"), nullptr);
    EXPECT_EQ(console.err, missing("other"));
}

TEST_F(ScriptReaderTest, FullTablesDropFurtherEntries) {
    std::string script;
    for (int i = 0; i <= 512; ++i) {
        script += "defineEffect e" + std::to_string(i) + " as Effect\nend\n";
        script += "createInstance of e0 as i" + std::to_string(i) + " at 0 1\n";
    }
    script += "defineEffect e512 as FxGLUVMap\nkept : %1\nend\n";
    script += "createInstance of e0 as iDemo at 0 1\n";
    read(script, "i512.dat");

    const std::string full = "parameter could not be set!\n\n";
    EXPECT_EQ(console.err, full + full + full + missing("e512") + full + missing("i512"));
    EXPECT_EQ(journal, Lines{});  // the dropped effect is never initialised
}

}  // namespace
