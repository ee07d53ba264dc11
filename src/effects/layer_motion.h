#pragma once
// Where a picture layer sits over time: its offset, its scale and its angle.
// The base class is the still layer; ExpressionLayerMotion reads all three
// from script expressions of t.
#include <string>

#include "assets/vec.h"
#include "effects/script_expression.h"

class LayerMotion {
public:
    virtual ~LayerMotion() = default;
    // Offset in view units; the layer draws it twice (see FxGLLayerObject).
    virtual Vec2 motion(float t);
    // Scale applied after the rotation; (1, 0.75) fills the width and the
    // middle three quarters of the height.
    virtual Vec2 size(float t);
    // Degrees, counter-clockwise.
    virtual float angle(float t);
};

class ExpressionLayerMotion : public LayerMotion {
public:
    // Each text is an expression of t; an empty text means "not given".
    // Compile errors are ignored: a broken expression evaluates to 0.
    ExpressionLayerMotion(const std::string& motionX, const std::string& motionY, const std::string& sizeX,
                          const std::string& sizeY, const std::string& angle);

    Vec2 motion(float t) override;
    Vec2 size(float t) override;
    float angle(float t) override;

private:
    std::string motionXText, motionYText, sizeXText, sizeYText, angleText;
    ScriptExpression motionX, motionY, sizeX, sizeY, angleExpression;
};
