#include "effects/script_expression.h"

#include "framework/effect.h"
#include "platform/report.h"

void ScriptExpression::addConstant(const std::string& name, double value) { parser.AddConstant(name, value); }

int ScriptExpression::parse(const std::string& text, const std::string& variables, const std::string& fallback) {
    // fparser returns -1 on success and the error position otherwise. A
    // failed parse leaves no program to run, and optimising it crashes
    // inside fparser, so only good ones are optimised or evaluated.
    errorAt = text.empty() ? parser.Parse(fallback, "") : parser.Parse(text, variables);
    compiled = errorAt < 0;
    if (compiled) parser.Optimize();
    return errorAt;
}

bool ScriptExpression::compile(const std::string& text, const std::string& variables, const std::string& fallback) {
    parse(text, variables, fallback);
    return compiled;
}

bool ScriptExpression::compileReporting(const std::string& parameter, const std::string& text,
                                        const std::string& variables, const std::string& fallback) {
    parse(text, variables, fallback);
    // A broken expression would otherwise silently freeze its quantity.
    if (!compiled && !text.empty())
        QUARN_REPORT(Log, "Could not parse " + parameter + " \"" + text + "\" at " + std::to_string(errorAt) + ": " +
                              parser.ErrorMsg() + ", using 0");
    return compiled;
}

float ScriptExpression::evaluateAt(float t) {
    const double variables[1] = {static_cast<double>(t)};
    return static_cast<float>(evaluate(variables));
}
