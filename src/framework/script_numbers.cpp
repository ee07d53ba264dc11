#include "framework/script_numbers.h"

#include <climits>
#include <cstdlib>
#include <string>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

std::size_t skipDigits(std::string_view text, std::size_t i) {
    while (i < text.size() && isDigit(text[i])) ++i;
    return i;
}

// Length of the decimal number at the start of text, 0 when there is none.
std::size_t decimalPrefixLength(std::string_view text, bool allowSign) {
    std::size_t i = 0;
    if (allowSign && i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const std::size_t integerBegin = i;
    i = skipDigits(text, i);
    bool haveDigits = i > integerBegin;
    if (i < text.size() && text[i] == '.') {
        const std::size_t fractionBegin = i + 1;
        const std::size_t fractionEnd = skipDigits(text, fractionBegin);
        if (haveDigits || fractionEnd > fractionBegin) {
            haveDigits = true;
            i = fractionEnd;
        }
    }
    if (!haveDigits) return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t exponent = i + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) ++exponent;
        const std::size_t exponentEnd = skipDigits(text, exponent);
        if (exponentEnd > exponent) i = exponentEnd;
    }
    return i;
}

float readDecimal(std::string_view text, bool allowSign) {
    const std::size_t length = decimalPrefixLength(text, allowSign);
    if (length == 0) return 0.0f;
    // The prefix holds only decimal characters, so strtof cannot wander into
    // its hexadecimal or inf forms; overflow gives infinity as usual.
    const std::string number(text.substr(0, length));
    return std::strtof(number.c_str(), nullptr);
}

}  // namespace

int readScriptInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isWhiteSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long value = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > limit) value = limit;
    }
    return static_cast<int>(negative ? -value : value);
}

float readScriptFloat(std::string_view text) { return readDecimal(text, false); }

float readScriptTime(std::string_view text) { return readDecimal(text, true); }
