#include "effects/fparser_expression.h"

bool compileExpression(FunctionParser& parser, const std::string& text, const std::string& variables) {
    // fparser returns -1 on success and the error position otherwise; a
    // failed parse leaves an empty program that evaluates to 0. Optimising
    // that empty program crashes inside fparser, so only good ones are.
    const bool parsed = parser.Parse(text, variables) < 0;
    if (parsed) parser.Optimize();
    return parsed;
}

float evaluateAtTime(FunctionParser& parser, float t) {
    const double variables[1] = {static_cast<double>(t)};
    return static_cast<float>(parser.Eval(variables));
}
