#pragma once
// Cuts script text into lines and lines into space-separated tokens.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct ScriptLine {
    std::string text;      // without newline and the carriage return before it
    bool tooLong = false;  // text was cut to maxScriptLineLength characters
    int number = 0;        // counted from 1 in the text
};

constexpr std::size_t maxScriptLineLength = 199;

class ScriptLines {
public:
    explicit ScriptLines(std::string_view text) : text(text) {}
    // The next newline-terminated line. False when none is left: text after the
    // last newline is never returned. A line ends early at a NUL byte, and
    // anything past maxScriptLineLength characters is dropped.
    bool next(ScriptLine& line);

private:
    std::string_view text;
    std::size_t position = 0;
    int lineNumber = 0;
};

// The first maxTokens tokens of line: maximal runs of characters other than
// the space (a tab belongs to its token). The views point into line.
std::vector<std::string_view> splitTokens(std::string_view line, std::size_t maxTokens);

// Token index of tokens, or an empty view when the line has fewer tokens.
// Tokens are never empty, so an absent token never equals a keyword.
std::string_view tokenAt(const std::vector<std::string_view>& tokens, std::size_t index);

// What follows token (a view into line) with the spaces right after it skipped.
std::string_view restOfLineAfter(std::string_view line, std::string_view token);
