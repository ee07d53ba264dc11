#include "effects/uv_function.h"

ExpressionUVFunction::ExpressionUVFunction(const std::string& uText, const std::string& vText) {
    uExpression.compile(uText, "x,y,r,a,t");
    vExpression.compile(vText, "x,y,r,a,t");
}

Vec2 ExpressionUVFunction::map(float x, float y, float r, float a, float t) {
    const double variables[5] = {x, y, r, a, t};
    const double v = vExpression.evaluate(variables);
    const double u = uExpression.evaluate(variables);
    return {static_cast<float>(u), static_cast<float>(v)};
}
