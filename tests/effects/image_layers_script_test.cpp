// Both image-layer types read from a script and drawn through the instance
// tree, as the player does it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "effects/fx_gl_layer_object.h"
#include "effects/fx_gl_uv_map.h"
#include "framework/effect_instance.h"
#include "framework/script_reader.h"
#include "support/gl_test_screen.h"
#include "support/picture_files.h"

namespace {

constexpr Rgba red{255, 0, 0, 255};
constexpr Rgba blue{0, 0, 255, 255};
constexpr Rgba magenta{255, 0, 255, 255};

TEST(ImageLayersScript, AnAdditiveLayerAppearsOverTheDistortedPictureInItsWindow) {
    GlTestScreen screen;
    ASSERT_TRUE(screen.isOpen());
    const std::string directory = makeScratchDirectory();
    writeTgaFile(directory + "/updown.tga", 32, 32, [](int, int y) { return y < 16 ? red : blue; });
    writeTgaFile(directory + "/red.tga", 8, 8, [](int, int) { return red; });

    // Values that begin with a digit are numbers, so the layer's constant
    // expressions are quoted.
    const std::string script =
        "defineEffect backdrop as FxGLUVMap\n"
        "resolution : %2\n"
        "textureFilename : " +
        directory +
        "/updown.tga\n"
        "u : x*0.5+0.5\n"
        "v : y*0.5+0.5\n"
        "end\n"
        "defineEffect overlay as FxGLLayerObject\n"
        "textureFilename : \"" +
        directory +
        "/red.tga\"\n"
        "alpha : \"1\"\n"
        "transparency : additive\n"
        "sizex : \"0.5\"\n"
        "sizey : \"0.25\"\n"
        "end\n"
        "defineEffect group as Effect\n"
        "end\n"
        "createInstance of group as scene at 0 100\n"
        "createInstance of backdrop as warp at 0 100\n"
        "createInstance of overlay as layer at 1 100\n"
        "addChild warp to scene\n"
        "addChild layer to scene\n"
        "bah\n";

    ScriptReader reader;
    reader.registerType(std::make_unique<FxGLLayerObject>());
    reader.registerType(std::make_unique<FxGLUVMap>());
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EffectInstance* root = reader.loadFromText(script, "scene.dat", screen.renderState());
    testing::internal::GetCapturedStdout();
    testing::internal::GetCapturedStderr();
    ASSERT_NE(root, nullptr);

    // Before the layer's window: the picture upright, red over blue.
    screen.clear(0, 0, 0);
    root->render(0.5f, screen.renderState());
    EXPECT_TRUE(colourNear(screen.pixel(320, 400), red));
    EXPECT_TRUE(colourNear(screen.pixel(320, 220), blue));

    // Inside it: the small layer adds red in the middle of the screen only.
    screen.clear(0, 0, 0);
    root->render(2.0f, screen.renderState());
    EXPECT_TRUE(colourNear(screen.pixel(320, 400), red));
    EXPECT_TRUE(colourNear(screen.pixel(320, 220), magenta));
    EXPECT_TRUE(colourNear(screen.pixel(320, 80), blue));
    EXPECT_TRUE(colourNear(screen.pixel(100, 220), blue));
    std::filesystem::remove_all(directory);
}

}  // namespace
