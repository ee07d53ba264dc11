#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "authoring/live_demo.h"
#include "platform/player_context.h"
#include "player/music.h"
#include "support/captured_console.h"
#include "support/picture_files.h"
#include "support/recording_render_state.h"
#include "support/scratch_directory.h"

namespace {

std::vector<double> namesOf(const RecordingRenderState& rs, const std::string& operation) {
    std::vector<double> names;
    uint32_t created = 0;
    for (const RecordingRenderState::Call& call : rs.calls) {
        if (call.name != operation) continue;
        // The double numbers the textures it creates from 1 on.
        names.push_back(operation == "createTexture" ? ++created : call.args.at(0));
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

// Every reload builds a new tree with new textures: the old tree's must go
// with it, or a live session grows by its pictures on every edit.
TEST(LiveReload, FreesEveryTextureOfTheTreeItReplaces) {
    ScratchDirectory scratch;
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    writeTgaFile("a.tga", 2, 2, [](int, int) { return Rgba{10, 20, 30, 255}; });
    std::ofstream("test.dat") << "0.1 zrotate 0\n";
    std::ofstream("iDemo.dat") << "defineEffect layer as FxGLLayerObject\ntextureFilename : a.tga\n"
                                  "transparency : solid\nalpha : \"1\"\nend\n"
                                  "defineEffect map as FxGLUVMap\ntextureFilename : a.tga\nu : \"x\"\nv : \"y\"\nend\n"
                                  "defineEffect root as Effect\nend\n"
                                  "createInstance of root as iDemo at 0 1000\n"
                                  "createInstance of layer as shown at 0 1000\naddChild shown to iDemo\n"
                                  "createInstance of map as mapped at 0 1000\naddChild mapped to iDemo\nbah\n";
    RecordingRenderState rs;
    PlayerContextScope context{{.renderState = &rs}};
    Music music;
    {
        LiveDemo demo(music);
        captureConsole([&] { demo.init(); });
        const std::vector<double> firstTree = namesOf(rs, "createTexture");
        ASSERT_EQ(firstTree.size(), 2u);
        EXPECT_TRUE(namesOf(rs, "deleteTexture").empty());

        captureConsole([&] { demo.reload({}, 1.0f); });
        ASSERT_FALSE(demo.reloadFailed());
        EXPECT_EQ(namesOf(rs, "createTexture").size(), 4u);
        EXPECT_EQ(namesOf(rs, "deleteTexture"), firstTree);
    }
    music.release();
    unsetenv("SDL_AUDIODRIVER");
}
