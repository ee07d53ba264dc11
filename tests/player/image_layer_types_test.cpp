// The image-layer effect types are registered first, layer before UV map.
#include <gtest/gtest.h>

#include <string>

#include "framework/script_reader.h"
#include "player/effect_types.h"
#include "support/null_render_state.h"

TEST(ImageLayerTypes, RegisteredRightAfterThePlainEffectLayerFirst) {
    ScriptReader reader;
    registerEffectTypes(reader);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    NullRenderState renderState;
    reader.loadFromText("defineEffect warp as FxGLUVMap\nend\nbah\n", "types.dat", renderState);
    const std::string output = testing::internal::GetCapturedStdout();
    const std::string errors = testing::internal::GetCapturedStderr();

    const std::string search =
        "effect 0 : Effect\nname : FxGLUVMap\n"
        "effect 1 : FxGLLayerObject\nname : FxGLUVMap\n"
        "effect 2 : FxGLUVMap\nname : FxGLUVMap\n"
        "tk: ";
    EXPECT_NE(output.find(search), std::string::npos) << output;
    EXPECT_EQ(errors.find("could not be created"), std::string::npos) << errors;
}
