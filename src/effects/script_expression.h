#pragma once
// A script expression as the effects use it: compiled once in init with its
// variable list, evaluated every frame without allocating. A text that does
// not parse evaluates to 0.
#include <string>

#include <fparser.hh>

class ScriptExpression {
public:
    // Makes a named constant known to the texts compiled afterwards.
    void addConstant(const std::string& name, double value);

    // Compiles text over the comma-separated variables; an empty text
    // compiles fallback instead, over no variables. False when what was
    // compiled did not parse; callers may ignore that.
    bool compile(const std::string& text, const std::string& variables, const std::string& fallback = "");
    // The same, and a given text that does not parse is reported on stderr
    // with the parameter's name.
    bool compileReporting(const std::string& parameter, const std::string& text, const std::string& variables,
                          const std::string& fallback = "");

    bool isCompiled() const { return compiled; }
    // Why the latest compile did not parse: the parser's error position
    // (negative when it parsed), whether it met a name it does not know,
    // and its words.
    int errorPosition() const { return errorAt; }
    bool metUnknownName() const {
        return errorAt >= 0 && parser.GetParseErrorType() == FunctionParser::UNKNOWN_IDENTIFIER;
    }
    std::string errorMessage() const { return errorAt >= 0 ? parser.ErrorMsg() : ""; }
    // The variables' values in list order.
    double evaluate(const double* variables) { return compiled ? parser.Eval(variables) : 0.0; }
    // For an expression over the single variable t.
    float evaluateAt(float t);

private:
    // Returns fparser's error position, negative when the text parsed.
    int parse(const std::string& text, const std::string& variables, const std::string& fallback);

    FunctionParser parser;
    bool compiled = false;
    int errorAt = -1;
};
