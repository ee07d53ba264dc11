#pragma once
// Number readers of the script language. Only plain decimal forms are read;
// hexadecimal, inf and nan spellings are not numbers here.
#include <string_view>

// After a "%": leading white space, one sign, digits up to the first
// non-digit; 0 without digits. Values beyond the int range saturate.
int readScriptInteger(std::string_view text);

// The longest prefix made of digits, an optional fraction and an optional
// exponent, as a 32-bit float; 0 when text does not start with a number.
float readScriptFloat(std::string_view text);

// Like readScriptFloat, but an optional sign may come first and the digits
// before the point may be missing (-5, .5): instance start and end times.
float readScriptTime(std::string_view text);
