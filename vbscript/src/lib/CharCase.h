#pragma once

// Upper/lower case of UTF-16 code units, locale-independent, for UCase/LCase, text comparison and RegExp.

#include <string>
#include <string_view>

namespace vbscript::lib {

// Simple (one unit to one unit) case mapping over the BMP's cased scripts; other units map to themselves.
char16_t toUpper(char16_t c);
char16_t toLower(char16_t c);
std::u16string toUpper(std::u16string_view text);
std::u16string toLower(std::u16string_view text);

// vbTextCompare: compares after folding case (punctuation before letters); returns <0, 0 or >0.
int compareText(std::u16string_view a, std::u16string_view b);

} // namespace vbscript::lib
