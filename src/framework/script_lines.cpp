#include "framework/script_lines.h"

bool ScriptLines::next(ScriptLine& line) {
    const std::size_t newline = text.find('\n', position);
    if (newline == std::string_view::npos) return false;
    std::string_view raw = text.substr(position, newline - position);
    position = newline + 1;
    line.number = ++lineNumber;

    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    const std::size_t nul = raw.find('\0');
    if (nul != std::string_view::npos) raw = raw.substr(0, nul);
    line.tooLong = raw.size() > maxScriptLineLength;
    if (line.tooLong) raw = raw.substr(0, maxScriptLineLength);
    line.text.assign(raw);
    return true;
}

std::vector<std::string_view> splitTokens(std::string_view line, std::size_t maxTokens) {
    std::vector<std::string_view> tokens;
    std::size_t position = 0;
    while (tokens.size() < maxTokens) {
        const std::size_t begin = line.find_first_not_of(' ', position);
        if (begin == std::string_view::npos) break;
        std::size_t end = line.find(' ', begin);
        if (end == std::string_view::npos) end = line.size();
        tokens.push_back(line.substr(begin, end - begin));
        position = end;
    }
    return tokens;
}

std::string_view tokenAt(const std::vector<std::string_view>& tokens, std::size_t index) {
    return index < tokens.size() ? tokens[index] : std::string_view();
}

std::string_view restOfLineAfter(std::string_view line, std::string_view token) {
    const std::size_t tokenEnd = static_cast<std::size_t>(token.data() - line.data()) + token.size();
    std::string_view rest = line.substr(tokenEnd);
    const std::size_t valueBegin = rest.find_first_not_of(' ');
    return valueBegin == std::string_view::npos ? std::string_view() : rest.substr(valueBegin);
}
