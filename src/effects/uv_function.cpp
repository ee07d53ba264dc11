#include "effects/uv_function.h"

#include "effects/fparser_expression.h"

ExpressionUVFunction::ExpressionUVFunction(const std::string& uText, const std::string& vText) {
    compileExpression(uExpression, uText, "x,y,r,a,t");
    compileExpression(vExpression, vText, "x,y,r,a,t");
}

Vec2 ExpressionUVFunction::map(float x, float y, float r, float a, float t) {
    const double variables[5] = {x, y, r, a, t};
    const double v = vExpression.Eval(variables);
    const double u = uExpression.Eval(variables);
    return {static_cast<float>(u), static_cast<float>(v)};
}
