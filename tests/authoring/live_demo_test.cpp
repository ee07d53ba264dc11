#include "authoring/live_demo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "authoring/live_loop.h"
#include "platform/file_bytes.h"
#include "player/music.h"
#include "support/captured_console.h"
#include "support/lwo_bytes.h"
#include "support/picture_files.h"
#include "support/recording_render_state.h"
#include "support/test_audio.h"

namespace {

namespace fs = std::filesystem;

// A layer showing picture, under the root.
std::string layerScript(const std::string& picture) {
    return "defineEffect layer as FxGLLayerObject\n"
           "textureFilename : " +
           picture +
           "\n"
           "transparency : solid\n"
           "alpha : \"1\"\n"
           "end\n"
           "defineEffect root as Effect\n"
           "end\n"
           "createInstance of root as iDemo at 0 1000\n"
           "createInstance of layer as shown at 0 1000\n"
           "addChild shown to iDemo\n"
           "bah\n";
}

class LiveDemoTest : public testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        std::ofstream("test.dat") << "0.1 zrotate 0\n";
        writeSolidTga("red.tga", 2, 2, 255, 0, 0);
    }
    void TearDown() override {
        music.release();
        unsetenv("SDL_AUDIODRIVER");
    }

    void writeScript(const std::string& text) {
        fs::remove("iDemo.dat");
        std::ofstream("iDemo.dat") << text;
    }
    CapturedConsole start() {
        return captureConsole([this] { demo.init(); });
    }
    CapturedConsole reload(const std::vector<std::string>& changed) {
        return captureConsole([&] { demo.reload(changed, 1.0f); });
    }

    ScratchDirectory scratch;
    RecordingRenderState renderState;
    Music music;
    LiveDemo demo{music, renderState};
};

// A symlink loop cannot be opened: a failed reading, at start-up and later,
// never an exception.
TEST_F(LiveDemoTest, ScriptThatIsASymlinkLoopIsAFailedReading) {
    fs::create_symlink("iDemo.dat", "iDemo.dat");
    EXPECT_NE(start().err.find("reload failed: cannot open iDemo.dat\n"), std::string::npos);
    EXPECT_TRUE(demo.reloadFailed());

    writeScript(layerScript("red.tga"));
    reload({"iDemo.dat"});
    EXPECT_FALSE(demo.reloadFailed());

    fs::remove("iDemo.dat");
    fs::create_symlink("iDemo.dat", "iDemo.dat");
    EXPECT_NE(reload({"iDemo.dat"}).err.find("reload failed: cannot open iDemo.dat\n"), std::string::npos);
    EXPECT_TRUE(demo.reloadFailed());
}

// A reading is good only when every file it uses is: a damaged picture
// keeps failing readings caused by other edits until it is mended itself.
// A JPEG cut short decodes (filled grey, with a warning) and counts as
// damaged here.
TEST_F(LiveDemoTest, DamagedPictureFailsEveryReadingUntilMended) {
    // Varied, so that most of the file is picture data rather than headers.
    std::vector<uint8_t> samples(128 * 128 * 3);
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<uint8_t>(i * 7919 % 251);
    const std::vector<uint8_t> jpeg = encodeJpeg(128, 128, samples);
    writeBytes("blue.jpg", jpeg);
    writeScript(layerScript("blue.jpg"));
    start();
    ASSERT_FALSE(demo.reloadFailed());

    writeBytes("blue.jpg", std::vector<uint8_t>(jpeg.begin(), jpeg.begin() + jpeg.size() / 2));
    const CapturedConsole cut = reload({"blue.jpg"});
    EXPECT_TRUE(demo.reloadFailed());
    EXPECT_NE(cut.err.find("reload failed: the picture file blue.jpg is damaged: "), std::string::npos) << cut.err;

    writeScript(layerScript("blue.jpg") + "# an unrelated edit\n");
    reload({"iDemo.dat"});
    EXPECT_TRUE(demo.reloadFailed());

    writeBytes("blue.jpg", jpeg);
    const CapturedConsole mended = reload({"blue.jpg"});
    EXPECT_FALSE(demo.reloadFailed()) << mended.err;
    EXPECT_NE(mended.out.find("reloaded blue.jpg in "), std::string::npos);

    // Music that cannot be played, the same.
    writeBytes("demomusik.mp3", {'n', 'o', 't', ' ', 'M', 'P', '3'});
    reload({"demomusik.mp3"});
    EXPECT_TRUE(demo.reloadFailed());
    EXPECT_NE(reload({"iDemo.dat"}).err.find("reload failed: cannot play demomusik.mp3\n"), std::string::npos);
    EXPECT_TRUE(demo.reloadFailed());
}

// The time printed covers the check's report as well: its line comes last.
TEST_F(LiveDemoTest, ReloadedLineComesAfterTheCheckReport) {
    writeScript(layerScript("red.tga"));
    start();
    const std::string out = reload({"iDemo.dat"}).out;
    ASSERT_NE(out.find("test.dat:1: "), std::string::npos) << out;
    EXPECT_LT(out.find("test.dat:1: "), out.find("reloaded iDemo.dat in "));
    EXPECT_EQ(out.substr(out.rfind('\n', out.size() - 2) + 1, 22), "reloaded iDemo.dat in ");
}

// The window lists --check's errors and warnings, not its notes, in its
// words (what live does with a missing picture, not what play does), and
// the title counts the errors.
TEST_F(LiveDemoTest, WindowListsTheCheckErrorsAndWarnings) {
    std::ofstream("test.dat") << "";
    writeScript(layerScript("red.tga"));
    start();
    const std::string noMusic = "demomusik.mp3: warning: cannot be opened: the demo plays without sound";
    EXPECT_EQ(demo.checkFindings(), std::vector<std::string>{noMusic});
    EXPECT_EQ(demo.checkErrors(), 0);

    writeScript(
        "defineEffect layer as FxGLLayerObject\n"
        "textureFilename : red.tga\n"
        "\n"
        "end\n"
        "defineEffect dots as FxRenderParticles\n"
        "end\n"
        "defineEffect root as Effect\n"
        "end\n"
        "createInstance of root as iDemo at 0 1000\n"
        "createInstanse of layer as shown at 0 1000\n"
        "bah\n");
    reload({"iDemo.dat"});
    const std::vector<std::string>& findings = demo.checkFindings();
    const auto has = [&findings](const std::string& line) {
        return std::find(findings.begin(), findings.end(), line) != findings.end();
    };
    EXPECT_TRUE(
        has("iDemo.dat:3: error: a blank line inside a definition: the definition of 'layer' ends here and "
            "its remaining lines are read as statements"));
    EXPECT_TRUE(has("iDemo.dat:10: error: unknown statement 'createInstanse': the line is ignored"));
    EXPECT_TRUE(
        has("iDemo.dat:5: error: effect 'dots' (FxRenderParticles): needs 'textureFilename' (picture): "
            "without it --live plays on with the last good reading, and says 'reload failed: cannot open "
            "picture file '"));
    EXPECT_EQ(findings.back(), noMusic);
    EXPECT_EQ(findings.size(), 10u);
    EXPECT_EQ(demo.checkErrors(), 7);

    const std::vector<OverlayLine> overlay = checkFindingsOverlay(findings);
    ASSERT_EQ(overlay.size(), findings.size() + 1);
    EXPECT_EQ(overlay[0].text, "--check: 7 errors, 3 warnings (C hides this list)");
    for (std::size_t i = 0; i < findings.size(); ++i) EXPECT_EQ(overlay[i + 1].text, findings[i]);

    // A sync file of many mistakes is not drawn whole every frame.
    const std::vector<OverlayLine> many =
        checkFindingsOverlay(std::vector<std::string>(150, "test.dat:1: warning: ignored"));
    ASSERT_EQ(many.size(), 102u);
    EXPECT_EQ(many.back().text, "... and 50 more on the console");

    char title[64];
    formatLiveTitleSuffix(title, sizeof title, false, demo.reloadFailed(), demo.checkErrors());
    EXPECT_STREQ(title, "reload failed 7 errors ");
    formatLiveTitleSuffix(title, sizeof title, true, true, 1);
    EXPECT_STREQ(title, "paused reload failed 1 error ");
}

}  // namespace

namespace {

// Counts every file the demo reads, by name, and reads it from disk.
struct OpenCounter {
    std::map<std::string, int> opens;
    FileReader reader() {
        return [this](const std::string& path, std::vector<uint8_t>& bytes, std::string* reason, uint64_t maxBytes) {
            ++opens[path];
            return readFileBytes(path, bytes, reason, maxBytes);
        };
    }
};

}  // namespace

// A reload reads each file once on the frame thread: the tree, the check
// of every picture and object, and --check's report all come from one
// reading; a picture two effects name is read once too; the music, not
// changed, is not read at all.
TEST_F(LiveDemoTest, AReloadOpensEachFileOnce) {
    std::vector<uint8_t> samples(8 * 8 * 3, 200);
    writeBytes("blue.jpg", encodeJpeg(8, 8, samples));
    writeBytesToFile("shape.lwo", lwoFile({lwoPoints({0, 0, 0, 1, 0, 0, 0, 1, 0}), lwoPolygons({{0, 1, 2}})}));
    writeScript(
        "defineEffect red as FxGLLayerObject\ntextureFilename : red.tga\ntransparency : solid\nend\n"
        "defineEffect again as FxGLLayerObject\ntextureFilename : red.tga\nalphaFilename : red.tga\nend\n"
        "defineEffect warp as FxGLUVMap\ntextureFilename : blue.jpg\nend\n"
        "defineEffect shape as FxRenderParametric\nobject : shape.lwo\ntextureFilename : blue.jpg\n"
        "mapping : pregenerated\nend\n"
        "defineEffect root as Effect\nend\n"
        "createInstance of root as iDemo at 0 1000\n"
        "createInstance of red as a at 0 1000\ncreateInstance of again as b at 0 1000\n"
        "createInstance of warp as c at 0 1000\ncreateInstance of shape as d at 0 1000\n"
        "addChild a to iDemo\naddChild b to iDemo\naddChild c to iDemo\naddChild d to iDemo\nbah\n");
    OpenCounter counter;
    Music countedMusic;
    LiveDemo counted(countedMusic, renderState, counter.reader());
    captureConsole([&] { counted.init(); });
    ASSERT_FALSE(counted.reloadFailed());

    counter.opens.clear();
    const CapturedConsole console = captureConsole([&] { counted.reload({"iDemo.dat"}, 1.0f); });
    ASSERT_FALSE(counted.reloadFailed()) << console.err;
    EXPECT_EQ(counter.opens,
              (std::map<std::string, int>{
                  {"iDemo.dat", 1}, {"test.dat", 1}, {"red.tga", 1}, {"blue.jpg", 1}, {"shape.lwo", 1}}));
}

// R reads the tree again and keeps the music playing; only a changed music
// file is loaded again. What summarises the music (the timeline's waveform)
// follows these loads: were R to count as one, each R would decode the
// whole music once more, tens of megabytes on the bundled demo.
TEST_F(LiveDemoTest, OnlyAChangedMusicFileIsLoadedAgain) {
    if (!encodeMp3(sineSamples(4410, 2, 44100, 441.0, 8000), 2, 44100, "demomusik.mp3")) {
        GTEST_SKIP() << "lame is needed to make the test music";
    }
    writeScript(layerScript("red.tga"));
    start();
    ASSERT_FALSE(demo.reloadFailed());
    EXPECT_EQ(demo.musicLoads(), 1);

    reload({});
    reload({"iDemo.dat", "test.dat"});
    ASSERT_FALSE(demo.reloadFailed());
    EXPECT_EQ(demo.musicLoads(), 1);

    const CapturedConsole changed = reload({"demomusik.mp3"});
    ASSERT_FALSE(demo.reloadFailed()) << changed.err;
    EXPECT_EQ(demo.musicLoads(), 2);
}
