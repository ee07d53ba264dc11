#pragma once
// Script expressions as the effects use them: compiled once in init,
// evaluated every frame without allocating. A text that does not parse
// (an empty one included) evaluates to 0.
#include <string>

#include <fparser.hh>

// Parses text with the comma-separated variable list and, when it parsed,
// optimises it.
// Returns false when the text did not parse; callers may ignore that.
bool compileExpression(FunctionParser& parser, const std::string& text, const std::string& variables);

// Evaluates an expression over the single variable t.
float evaluateAtTime(FunctionParser& parser, float t);
