#pragma once
// The mapping from a point of the screen grid to texture coordinates.
#include <string>

#include "assets/vec.h"
#include "effects/script_expression.h"

class UVFunction {
public:
    virtual ~UVFunction() = default;
    // x, y: position (y grows down the screen); r, a: its polar form, a in
    // radians from -pi to pi; t: the effect's local time. Returns (u, v).
    virtual Vec2 map(float x, float y, float r, float a, float t) = 0;
};

class ExpressionUVFunction : public UVFunction {
public:
    // Both texts are expressions of x, y, r, a, t. A text that does not
    // parse (an empty one included) yields 0.
    ExpressionUVFunction(const std::string& uText, const std::string& vText);
    Vec2 map(float x, float y, float r, float a, float t) override;

private:
    ScriptExpression uExpression;
    ScriptExpression vExpression;
};
