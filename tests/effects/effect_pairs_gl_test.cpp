// Effects drawn one after another in one real GL context. What one effect
// leaves set must never make the next one's draw read past the end of an
// array: every draw is done twice, with the memory after every allocation
// filled with a different pattern each time, and the two frames must match.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "effects/fx_asm_particles.h"
#include "effects/fx_gl_layer_object.h"
#include "effects/fx_gl_uv_map.h"
#include "effects/fx_render_parametric.h"
#include "effects/fx_render_particles.h"
#include "framework/demo_limits.h"
#include "support/allocation_counter.h"
#include "support/effect_parameters.h"
#include "support/gl_test_screen.h"
#include "support/headless_gl.h"
#include "support/picture_files.h"

namespace {

// Larger than any array a draw below reads, so an over-read stays inside
// the pattern.
constexpr std::size_t tailBytes = 8192;

struct EffectType {
    const char* name;
    std::function<std::unique_ptr<Effect>(EffectParameters&, const std::string& picture)> make;
};

// Small instances of every type, textured with a picture whose four
// quarters differ, so that wrong texture coordinates show.
const std::vector<EffectType> effectTypes = {
    {"FxGLLayerObject",
     [](EffectParameters& p, const std::string& picture) {
         auto fx = std::make_unique<FxGLLayerObject>();
         p.text(*fx, "textureFilename", picture);
         p.text(*fx, "alpha", "1");
         p.text(*fx, "transparency", "additive");
         p.text(*fx, "angle", "20");
         return fx;
     }},
    {"FxGLUVMap",
     [](EffectParameters& p, const std::string& picture) {
         auto fx = std::make_unique<FxGLUVMap>();
         p.text(*fx, "textureFilename", picture);
         p.integer(*fx, "resolution", 8);
         p.text(*fx, "u", "x*0.5+0.5");
         p.text(*fx, "v", "y*0.5+0.5+r*0.1");
         return fx;
     }},
    // Sphere-mapped (no "mapping") with a sphere-mapped environment on unit 1.
    {"FxRenderParametric",
     [](EffectParameters& p, const std::string& picture) {
         auto fx = std::make_unique<FxRenderParametric>();
         p.text(*fx, "function", "0.3*sin(4*r)");
         p.integer(*fx, "resolutionx", 2);
         p.integer(*fx, "resolutiony", 2);
         p.text(*fx, "textureFilename", picture);
         p.text(*fx, "envFilename", picture);
         p.text(*fx, "position.z", "4");
         p.text(*fx, "orientation.x", "30");
         return fx;
     }},
    {"FxRenderParticles",
     [](EffectParameters& p, const std::string& picture) {
         auto fx = std::make_unique<FxRenderParticles>();
         p.integer(*fx, "numParticles", 4);
         p.text(*fx, "textureFilename", picture);
         p.text(*fx, "position.z", "4");
         p.text(*fx, "particle.x", "i-1.5");
         p.text(*fx, "particle.size", "0.6");
         return fx;
     }},
    {"FxAsmParticles",
     [](EffectParameters& p, const std::string& picture) {
         auto fx = std::make_unique<FxAsmParticles>();
         p.integer(*fx, "numParticles", 8);
         p.number(*fx, "particle.size", 0.5f);
         p.text(*fx, "calc", "Particles1");
         p.text(*fx, "textureFilename", picture);
         return fx;
     }},
};

class EffectPairs : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        directory = makeScratchDirectory();
        writeTgaFile(directory + "/quarters.tga", 8, 8, [](int x, int y) {
            return Rgba{uint8_t(x < 4 ? 200 : 40), uint8_t(y < 4 ? 180 : 60), uint8_t((x < 4) == (y < 4) ? 220 : 0),
                        255};
        });
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(directory); }

    // A fresh context, the effects made and drawn in order at t = 1.5, with
    // every allocation followed by fill; the frame read back.
    static std::vector<uint8_t> drawInOrder(const std::vector<int>& types, unsigned char fill) {
        GlTestScreen screen;
        EXPECT_TRUE(screen.isOpen());
        EffectParameters parameters;
        std::vector<std::unique_ptr<Effect>> effects;
        setAllocationTail(tailBytes, fill);
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        for (int type : types) {
            effects.push_back(effectTypes[type].make(parameters, directory + "/quarters.tga"));
            effects.back()->init(screen.renderState(), DemoLimits{});
        }
        testing::internal::GetCapturedStdout();
        testing::internal::GetCapturedStderr();
        screen.clear(0, 0, 0);
        for (auto& effect : effects) {
            effect->setTime(1.5f);
            effect->draw(screen.renderState());
        }
        std::vector<uint8_t> frame = readFramebufferRGBA(0, 0, 640, 480);
        setAllocationTail(0, 0);
        return frame;
    }

    // A fresh screen of the renderer, the effects made, then each drawn at
    // t = 1.5 on a cleared screen; the last one's frame read back.
    static std::vector<uint8_t> drawLastAfterOthers(const std::vector<int>& types, TestRenderer renderer) {
        GlTestScreen screen(renderer);
        EXPECT_TRUE(screen.isOpen());
        EffectParameters parameters;
        std::vector<std::unique_ptr<Effect>> effects;
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        for (int type : types) {
            effects.push_back(effectTypes[type].make(parameters, directory + "/quarters.tga"));
            effects.back()->init(screen.renderState(), DemoLimits{});
        }
        testing::internal::GetCapturedStdout();
        testing::internal::GetCapturedStderr();
        for (auto& effect : effects) {
            screen.clear(0, 0, 0);
            effect->setTime(1.5f);
            effect->draw(screen.renderState());
        }
        return readFramebufferRGBA(0, 0, 640, 480);
    }

    static std::string directory;
};

std::string EffectPairs::directory;

TEST_F(EffectPairs, NoDrawReadsPastAnArrayAnotherEffectLeftSet) {
    std::vector<std::vector<int>> orders;
    for (int first = 0; first < 5; ++first) {
        orders.push_back({first});
        for (int second = 0; second < 5; ++second) orders.push_back({first, second});
    }
    for (const std::vector<int>& order : orders) {
        std::string label;
        for (int type : order) label += std::string(label.empty() ? "" : " then ") + effectTypes[type].name;
        // Fills of the same sign: a sphere map reflects alike about n and -n.
        const std::vector<uint8_t> a = drawInOrder(order, 0x3f);
        const std::vector<uint8_t> b = drawInOrder(order, 0x3e);
        ASSERT_EQ(a.size(), b.size()) << label;
        std::size_t differing = 0;
        for (std::size_t i = 0; i < a.size(); i += 4)
            differing += a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2];
        EXPECT_EQ(differing, 0u) << label << ": pixels depend on memory past an array";
    }
}

// The sphere-mapped object generates texture coordinates for its own draw
// only: a layer or UV map drawn after it, in the same frame or a later one,
// reads its own coordinates and looks as it does drawn alone.
TEST_F(EffectPairs, ASphereMappedObjectLeavesLaterDrawsTheirCoordinates) {
    constexpr int layer = 0, uvMap = 1, sphereMappedObject = 2;
    for (TestRenderer renderer : {TestRenderer::FixedFunction, TestRenderer::Gles2}) {
        for (int later : {layer, uvMap}) {
            const std::string label = std::string(effectTypes[later].name) +
                                      (renderer == TestRenderer::Gles2 ? " (ES 2)" : " (fixed function)");
            const std::vector<uint8_t> alone = drawLastAfterOthers({later}, renderer);
            const std::vector<uint8_t> afterObject = drawLastAfterOthers({sphereMappedObject, later}, renderer);
            ASSERT_EQ(alone.size(), afterObject.size()) << label;
            std::size_t differing = 0;
            for (std::size_t i = 0; i < alone.size(); i += 4)
                differing += alone[i] != afterObject[i] || alone[i + 1] != afterObject[i + 1] ||
                             alone[i + 2] != afterObject[i + 2];
            EXPECT_EQ(differing, 0u) << label << " drawn after the sphere-mapped object";
        }
    }
}

}  // namespace
