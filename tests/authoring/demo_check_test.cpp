#include "authoring/demo_check.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/picture_files.h"

namespace {

namespace fs = std::filesystem;

class DemoCheckTest : public testing::Test {
protected:
    void SetUp() override {
        directory = makeScratchDirectory();
        writeSolidTga((directory / "pic.tga").string(), 4, 4, 10, 20, 30);
    }
    void TearDown() override { fs::remove_all(directory); }

    void write(const std::string& name, const std::string& text) {
        std::ofstream(directory / name, std::ios::binary) << text;
    }

    fs::path directory;
};

// One demo with every kind of mistake, each on its own line.
TEST_F(DemoCheckTest, ReportsEachMistakeAtItsLine) {
    write("iDemo.dat",
          "\xEF\xBB\xBF# broken on purpose\n"
          "defineEffect group as Effect\n"
          "end\n"
          "defineEffect sky as FxGLLayerObject\n"
          "textureFilename : pic.tga\n"
          "transparency : Solid\n"
          "alpha : 1\n"
          "motion.x : \"0.1\"\n"
          "sizex : \"0.25*sin(t*1.5\"\n"
          "angle : sin(T)\n"
          "\tuscroll : t\n"
          "resolution : %2\n"
          "end\n"
          "defineEffect warp as FxGLUVMap\n"
          "textureFilename : missing.jpg\n"
          "resolution : 2\n"
          "\n"
          "u : x\n"
          "end\n"
          "defineEffect cloud as FxRenderParticles\n"
          "# a comment\n"
          "end\n"
          "defineEffect dots as FxRenderParticles\n"
          "numParticles : %10\n"
          "end\n"
          "defineEffect odd as FxGLUvMap\n"
          "end\n"
          "defineEffect shape as FxRenderParametric\n"
          "textureFilename : pic.tga\n"
          "object : nothing.lwo\n"
          "end\n"
          "createInstance of group as iDemo at 0 1000\n"
          "createInstance of sky as sky1 at 0 10\n"
          "createInstance of nosuch as ghost at 0 10\n"
          "createInstance of warp as late at 300 310\n"
          "createInstance of dots as loose at 0 10\n"
          "createInstance of shape as s1 at 0 10\n"
          "addChild sky1 to iDemo\n"
          "addChild late to iDemo\n"
          "addChild ghost to nobody\n"
          "addChild iDemo to sky1\n"
          "addChild s1 to iDemo\n"
          " # indented\n"
          "addChild ghost to iDemo");
    write("test.dat",
          "\xEF\xBB\xBF"
          "1.0 offset 2\n"
          "2.0 zrotate 1\n"
          "3.0 ofset 1\n"
          "4.0 offset 9\n"
          "5.0\toffset 1\n");

    const DemoCheckReport report = checkDemo(directory.string());
    const std::vector<std::string> expected = {
        "iDemo.dat:1: warning: the file starts with a UTF-8 byte order mark, which the player skips",
        "iDemo.dat:6: error: effect 'sky' (FxGLLayerObject): 'transparency' is 'Solid', not one of solid, additive, "
        "modulating; did you mean 'solid'?",
        "iDemo.dat:7: error: effect 'sky' (FxGLLayerObject): 'alpha' is read as an expression, but '1' is stored as a "
        "number, which the effect never reads: quote it (\"1\")",
        "iDemo.dat:8: error: effect 'sky' (FxGLLayerObject): has no parameter 'motion.x'; did you mean 'motionx'?",
        "iDemo.dat:9: error: effect 'sky' (FxGLLayerObject): 'sizex': the expression does not parse: Missing ')' at "
        "character 15 of \"0.25*sin(t*1.5\"",
        "iDemo.dat:10: error: effect 'sky' (FxGLLayerObject): 'angle': unknown name 'T' at character 5 of \"sin(T)\" "
        "(it knows the variables t)",
        "iDemo.dat:11: error: effect 'sky' (FxGLLayerObject): the parameter name '\\tuscroll' holds a tab: only spaces "
        "separate tokens",
        "iDemo.dat:12: error: effect 'sky' (FxGLLayerObject): has no parameter 'resolution'",
        "iDemo.dat:15: error: effect 'warp' (FxGLUVMap): 'textureFilename': picture file 'missing.jpg' cannot be "
        "opened: the player stops with 'cannot open picture file missing.jpg'",
        "iDemo.dat:16: error: effect 'warp' (FxGLUVMap): 'resolution' is read as an integer, but '2' is stored as a "
        "number, which the effect never reads: write %2",
        "iDemo.dat:17: error: a blank line inside a definition: the definition of 'warp' ends here and its remaining "
        "lines are read as statements",
        "iDemo.dat:18: error: parameter line outside a definition (an error above ended its block): ignored",
        "iDemo.dat:19: error: 'end' outside a definition is ignored",
        "iDemo.dat:20: warning: effect 'cloud' is never placed by createInstance",
        "iDemo.dat:20: error: effect 'cloud' (FxRenderParticles): needs 'numParticles' (integer)",
        "iDemo.dat:20: error: effect 'cloud' (FxRenderParticles): needs 'textureFilename' (picture): without it the "
        "player stops with 'cannot open picture file '",
        "iDemo.dat:21: error: a comment inside a definition: the definition of 'cloud' ends here and its remaining "
        "lines are read as statements",
        "iDemo.dat:22: error: 'end' outside a definition is ignored",
        "iDemo.dat:23: error: effect 'dots' (FxRenderParticles): needs 'textureFilename' (picture): without it the "
        "player stops with 'cannot open picture file '",
        "iDemo.dat:26: error: effect type 'FxGLUvMap' of 'odd' is not registered; did you mean 'FxGLUVMap'? (the types "
        "are Effect, FxGLLayerObject, FxGLUVMap, FxRenderParametric, FxRenderParticles, FxAsmParticles)",
        "iDemo.dat:28: warning: effect 'shape' (FxRenderParametric): without 'mapping' the texture is sphere-mapped "
        "and added to the colour under it, which looks flat white: write 'mapping : pregenerated' to lay the picture "
        "on the surface, and 'envFilename' for a sphere-mapped reflection",
        "iDemo.dat:30: error: effect 'shape' (FxRenderParametric): 'object': object file 'nothing.lwo' cannot be "
        "opened: nothing is drawn",
        "iDemo.dat:34: error: no effect 'nosuch' is defined before this line: instance 'ghost' draws nothing",
        "iDemo.dat:34: warning: instance 'ghost' is never added under the root 'iDemo': never drawn",
        "iDemo.dat:36: warning: instance 'loose' is never added under the root 'iDemo': never drawn",
        "iDemo.dat:39: error: instance 'late' (window 300..310) lies outside the times its parent 'iDemo' is drawn "
        "(0..255 in its time): never drawn",
        "iDemo.dat:40: error: no instance 'nobody' is created before this line",
        "iDemo.dat:41: error: addChild refused: 'iDemo' cannot be a child of 'sky1', which it contains",
        "iDemo.dat:43: error: unknown statement '#': a comment must start in the first column; the line is ignored",
        "iDemo.dat:44: error: the last line has no line end and is ignored: end it with a line break",
        "test.dat:1: warning: the file starts with a UTF-8 byte order mark, which the player skips",
        "test.dat:1: note: 1.000 offset goes to s1 (effect shape, FxRenderParametric)",
        "test.dat:2: warning: 2.000 zrotate goes to sky1 (effect sky, FxGLLayerObject), which ignores it",
        "test.dat:3: warning: 3.000 ofset: no effect type reacts to 'ofset'; did you mean 'offset'?",
        "test.dat:4: warning: 4.000 offset: no instance 9 is active then (active: 0 iDemo, 1 sky1, 2 s1)",
        "test.dat:5: warning: the line needs a time, a name and a target: it is skipped (a tab is no separator, only "
        "spaces are)",
        "demomusik.mp3: warning: cannot be opened: the demo plays without sound",
    };
    EXPECT_EQ(report.lines, expected);
    EXPECT_EQ(report.errors, 25);
    EXPECT_EQ(report.warnings, 11);
}

// Mistakes the player does not stop for: values it clamps, pictures it
// draws white or upside down, objects it cannot read, texts it ignores.
TEST_F(DemoCheckTest, ReportsWhatThePlayerQuietlyChanges) {
    writeBytes((directory / "grey.tga").string(), tgaFile(3, 1, 1, 8, {0x80}));
    writeBytes((directory / "palette.tga").string(), tgaFile(1, 1, 1, 8, {0}));
    std::vector<uint8_t> topFirst = tgaFile(2, 1, 1, 24, {1, 2, 3});
    topFirst[17] = 0x20;
    writeBytes((directory / "top.tga").string(), topFirst);
    // One run-length packet of one pixel, rows marked bottom first.
    writeBytes((directory / "packed.tga").string(), tgaFile(10, 1, 1, 24, {0x80, 1, 2, 3}));
    write("empty.lwo", "");
    write("damaged.lwo", std::string("FORM\0\0\0\4LWOX", 12));
    write("iDemo.dat",
          "defineEffect root as Effect\n"
          "end\n"
          "defineEffect wave as FxRenderParametric\n"
          "function : \"0\"\n"
          "resolutionx : %100000\n"
          "resolutiony : %-2147483648\n"
          "textureFilename : pic.tga\n"
          "end\n"
          "defineEffect sparks as FxAsmParticles\n"
          "numParticles : %2147483647\n"
          "particle.size : 1\n"
          "calc : Particles1\n"
          "textureFilename : pic.tga\n"
          "end\n"
          "defineEffect warp as FxGLUVMap\n"
          "textureFilename : top.tga\n"
          "resolution : %-2147483648\n"
          "end\n"
          "defineEffect layer as FxGLLayerObject\n"
          "textureFilename : grey.tga\n"
          "alphaFilename : palette.tga\n"
          "transparency : solid\n"
          "alpha : \"1\"\n"
          "motionx : \"t\"\n"
          "end\n"
          "defineEffect flat as FxGLLayerObject\n"
          "textureFilename : packed.tga\n"
          "transparency : solid\n"
          "alpha : \"1\"\n"
          "motiony : \"t\"\n"
          "motionx : \"\"\n"
          "end\n"
          "defineEffect shape as FxRenderParametric\n"
          "object : empty.lwo\n"
          "textureFilename : pic.tga\n"
          "mapping : pregenerated\n"
          "end\n"
          "defineEffect broken as FxRenderParametric\n"
          "object : damaged.lwo\n"
          "textureFilename : pic.tga\n"
          "mapping : Pregenerated\n"
          "end\n"
          "createInstance of root as iDemo at 0 1000\n"
          "createInstance of root as group at 10 20\n"
          "createInstance of wave as w1 at 5 15\n"
          "createInstance of sparks as s1 at 0 10\n"
          "createInstance of warp as u1 at 0 10\n"
          "createInstance of layer as l1 at 0 300\n"
          "createInstance of flat as f1 at 0 10\n"
          "createInstance of shape as o1 at 0 10\n"
          "createInstance of broken as o2 at 0 10\n"
          "addChild group to iDemo\n"
          "addChild w1 to group\n"
          "addChild s1 to group\n"
          "addChild u1 to group\n"
          "addChild l1 to iDemo\n"
          "addChild f1 to iDemo\n"
          "addChild o1 to iDemo\n"
          "addChild o2 to iDemo\n");

    const DemoCheckReport report = checkDemo(directory.string());
    const std::string wave = "iDemo.dat:3: warning: effect 'wave' (FxRenderParametric): ";
    const std::string drawnWhite =
        ", which the player cannot draw: it is drawn white; save it as 24- or 32-bit TGA, or as JPEG";
    const std::vector<std::string> expected = {
        wave +
            "without 'mapping' the texture is sphere-mapped and added to the colour under it, which looks flat "
            "white: write 'mapping : pregenerated' to lay the picture on the surface, and 'envFilename' for a "
            "sphere-mapped reflection",
        "iDemo.dat:5: warning: effect 'wave' (FxRenderParametric): 'resolutionx' is 100000, more than the effect "
        "takes: it uses 1024",
        "iDemo.dat:6: warning: effect 'wave' (FxRenderParametric): 'resolutiony' is -2147483648, less than the effect "
        "takes: it uses 32",
        "iDemo.dat:10: warning: effect 'sparks' (FxAsmParticles): 'numParticles' is 2147483647, more than the effect "
        "takes: it uses 1048576",
        "iDemo.dat:16: warning: effect 'warp' (FxGLUVMap): 'textureFilename': picture file 'top.tga' says its rows "
        "are stored top first (its origin bit), but the player reads an uncompressed TGA bottom first: it shows "
        "upside down; flip the picture, or save it with the lower-left origin",
        "iDemo.dat:17: warning: effect 'warp' (FxGLUVMap): 'resolution' is -2147483648, less than the effect takes: "
        "it uses 1",
        "iDemo.dat:20: error: effect 'layer' (FxGLLayerObject): 'textureFilename': picture file 'grey.tga' is a grey "
        "TGA of 8 bits" +
            drawnWhite,
        "iDemo.dat:21: error: effect 'layer' (FxGLLayerObject): 'alphaFilename': picture file 'palette.tga' is a "
        "colour-mapped (palette) TGA" +
            drawnWhite,
        "iDemo.dat:24: warning: effect 'layer' (FxGLLayerObject): 'motionx' is only read when 'motiony' is given: "
        "the layer does not move",
        "iDemo.dat:27: warning: effect 'flat' (FxGLLayerObject): 'textureFilename': picture file 'packed.tga' says "
        "its rows are stored bottom first (its origin bit), but the player reads a run-length TGA top first: it shows "
        "upside down; flip the picture, or save it with the upper-left origin",
        "iDemo.dat:30: warning: effect 'flat' (FxGLLayerObject): 'motiony' is only read when 'motionx' is given: "
        "the layer does not move",
        "iDemo.dat:34: error: effect 'shape' (FxRenderParametric): 'object': object file 'empty.lwo' holds no "
        "LightWave (LWOB) polygons the player can read: nothing is drawn",
        "iDemo.dat:39: error: effect 'broken' (FxRenderParametric): 'object': object file 'damaged.lwo' holds no "
        "LightWave (LWOB) polygons the player can read: nothing is drawn",
        "iDemo.dat:53: warning: instance 'w1' (window 5..15) runs past the end of its parent 'group' (window 10..20, "
        "so 10 in its time): it stops at 10",
        "test.dat: warning: cannot be opened: the demo runs without sync events",
        "demomusik.mp3: warning: cannot be opened: the demo plays without sound",
    };
    EXPECT_EQ(report.lines, expected);
}

// Grey with alpha is read bottom row first when uncompressed, like 24- and
// 32-bit colour: only a file marked the other way is upside down.
TEST_F(DemoCheckTest, GreyWithAlphaRowOrderFollowsHowItIsRead) {
    writeBytes((directory / "upright.tga").string(), tgaFile(3, 1, 1, 16, {0x80, 0xFF}));
    std::vector<uint8_t> topFirst = tgaFile(3, 1, 1, 16, {0x80, 0xFF});
    topFirst[17] = 0x20;
    writeBytes((directory / "flipped.tga").string(), topFirst);
    write("test.dat", "");
    for (const char* name : {"upright.tga", "flipped.tga"}) {
        write("iDemo.dat", std::string("defineEffect layer as FxGLLayerObject\n"
                                       "textureFilename : ") +
                               name +
                               "\n"
                               "transparency : solid\n"
                               "end\n"
                               "createInstance of layer as iDemo at 0 10\n");
        const std::vector<std::string> lines = checkDemo(directory.string()).lines;
        const bool upsideDown = std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
            return line.find("shows upside down") != std::string::npos;
        });
        EXPECT_EQ(upsideDown, std::string(name) == "flipped.tga") << name;
    }
}

// Files the player reads as nothing at all.
TEST_F(DemoCheckTest, NamesAFolderOrUtf16AsTheCause) {
    fs::create_directory(directory / "iDemo.dat");
    static const char utf16Sync[] = "\xFE\xFF\0001\0.\0000\0 \0o\0f\0f\0s\0e\0t\0 \0000\0\n";
    write("test.dat", std::string(utf16Sync, sizeof utf16Sync - 1));
    EXPECT_EQ(checkDemo(directory.string()).lines,
              (std::vector<std::string>{
                  "iDemo.dat: error: is a folder, not a file: there is nothing to play",
                  "test.dat:1: warning: the file is written in UTF-16 (it starts with the byte order mark FE FF): no "
                  "event in it reaches an effect; save it as UTF-8 or ASCII",
                  "demomusik.mp3: warning: cannot be opened: the demo plays without sound",
              }));

    fs::remove(directory / "iDemo.dat");
    write("iDemo.dat", std::string("\xFF\xFE"
                                   "d\0e\0f\0",
                                   8));
    write("test.dat", "");
    EXPECT_EQ(checkDemo(directory.string()).lines,
              (std::vector<std::string>{
                  "iDemo.dat:1: error: the file is written in UTF-16 (it starts with the byte order mark FF FE): the "
                  "player finds none of its statements; save it as UTF-8 or ASCII",
                  "demomusik.mp3: warning: cannot be opened: the demo plays without sound",
              }));
}

// A damaged object from a modelling tool, and a demo that sets its length.
TEST_F(DemoCheckTest, ReportsDamagedObjFilesAndTheDemosOwnLength) {
    write("iDemo.dat",
          "defineEffect group as Effect\n"
          "end\n"
          "defineEffect shape as FxRenderParametric\n"
          "textureFilename : pic.tga\n"
          "object : broken.obj\n"
          "end\n"
          "createInstance of group as iDemo at 0 1000\n"
          "createInstance of shape as s1 at 0 30\n"
          "addChild s1 to iDemo\n");
    write("broken.obj", "o Broken\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 9\n");
    write("test.dat", "8 fadeout 0\n10 end 0\n12 end 0\n11 offset 1\n");
    const DemoCheckReport report = checkDemo(directory.string());
    const auto has = [&](const std::string& line) {
        return std::find(report.lines.begin(), report.lines.end(), line) != report.lines.end();
    };
    EXPECT_TRUE(
        has("iDemo.dat:5: error: effect 'shape' (FxRenderParametric): 'object': object file 'broken.obj' "
            "cannot be read: OBJ: vertex index out of range: nothing is drawn"));
    EXPECT_TRUE(has("test.dat:1: note: 8.000 fadeout: the music fades out from 8 s to the demo's end at 10 s"));
    EXPECT_TRUE(has("test.dat:2: note: 10.000 end: the demo ends at 10 s, the music fading out from 8 s"));
    EXPECT_TRUE(has("test.dat:3: warning: 12.000 end: an earlier end event sets that time: this one does nothing"));
    EXPECT_TRUE(has("test.dat:4: warning: 11.000 offset: after the demo's end at 10 s, never delivered"));
}

// The bundled demo is the reference of a correct one.
TEST(DemoCheckBundledTest, BundledDemoHasNoError) {
    const char* source = std::getenv("QUARN_SOURCE_DIR");
    const DemoCheckReport report = checkDemo(std::string(source ? source : ".") + "/demo");
    EXPECT_EQ(report.errors, 0);
    for (const std::string& line : report.lines) EXPECT_EQ(line.find(": error: "), std::string::npos) << line;
    EXPECT_EQ(report.warnings, 0);
}

}  // namespace
