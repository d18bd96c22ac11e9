#pragma once

// Escape and Unescape as VBScript does them.

#include <string>
#include <string_view>

namespace vbscript::lib {

// Keeps A-Z a-z 0-9 @ * _ + - . / as they are; other units below 256 become %XX, the rest %uXXXX (upper-case
// hex).
std::u16string escape(std::u16string_view text);
// Decodes %XX and %uXXXX; a % not followed by a valid sequence is kept as it is.
std::u16string unescape(std::u16string_view text);

} // namespace vbscript::lib
