#pragma once
// One picture as a flat layer over the screen: moved, scaled, rotated, its
// texture scrolling, its brightness an expression of time, and combined
// with what is below it solid, additively or by its alpha.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "effects/layer_motion.h"
#include "effects/script_expression.h"
#include "framework/effect.h"

class Texture;

enum BlendMode : int32_t {
    BlendModeSolid = 0,
    BlendModeAdditive = 1,
    BlendModeModulating = 2,
};

// "solid", "additive" or "modulating", compared exactly; nothing otherwise.
std::optional<BlendMode> blendModeFromName(const std::string& name);

class FxGLLayerObject : public Effect {
public:
    FxGLLayerObject();
    ~FxGLLayerObject() override;

    void init(RenderState& renderState, const DemoLimits& limits) override;
    void draw(RenderState& renderState) override;
    std::unique_ptr<Effect> newInstance() override { return std::make_unique<FxGLLayerObject>(); }
    std::string typeName() override { return "FxGLLayerObject"; }

private:
    std::unique_ptr<Texture> texture;  // null when no picture was named: nothing is drawn
    std::unique_ptr<LayerMotion> motion;
    BlendMode blendMode = BlendModeSolid;
    ScriptExpression alpha;
    ScriptExpression uscroll;
    ScriptExpression vscroll;
    // Kept here rather than on the stack: GL keeps pointing at the client
    // array after draw returns.
    float texCoords[12];
};
