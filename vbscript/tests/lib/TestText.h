#pragma once

// UTF-16 <-> UTF-8 for test tables and readable failure messages (our tables only use the BMP).

#include "lib/LibError.h"

#include <string>
#include <string_view>

namespace vbscript::lib::test {

inline std::string utf8(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// ASCII only: enough for patterns and dates written in the tables.
inline std::u16string u16(std::string_view text) {
    return std::u16string(text.begin(), text.end());
}

// The library error number `call` raises, or 0 when it returns normally.
int errorOf(auto&& call) {
    try {
        call();
    } catch (const LibError& e) {
        return e.number;
    }
    return 0;
}

} // namespace vbscript::lib::test
