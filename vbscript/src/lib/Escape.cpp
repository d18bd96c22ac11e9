#include "lib/Escape.h"

namespace vbscript::lib {
namespace {

constexpr char16_t kHexDigits[] = u"0123456789ABCDEF";

bool keptAsIs(char16_t c) {
    if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9')) return true;
    switch (c) {
    case u'@':
    case u'*':
    case u'_':
    case u'+':
    case u'-':
    case u'.':
    case u'/':
        return true;
    default:
        return false;
    }
}

int hexValue(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    return -1;
}

// Reads `count` hex digits at text[pos]; -1 when they are not all there.
int readHex(std::u16string_view text, std::size_t pos, int count) {
    if (pos + count > text.size()) return -1;
    int value = 0;
    for (int i = 0; i < count; ++i) {
        int digit = hexValue(text[pos + i]);
        if (digit < 0) return -1;
        value = value * 16 + digit;
    }
    return value;
}

} // namespace

std::u16string escape(std::u16string_view text) {
    std::u16string result;
    result.reserve(text.size());
    for (char16_t c : text) {
        if (keptAsIs(c)) {
            result += c;
        } else if (c < 0x100) {
            result += u'%';
            result += kHexDigits[c >> 4];
            result += kHexDigits[c & 0xF];
        } else {
            result += u"%u";
            for (int shift = 12; shift >= 0; shift -= 4)
                result += kHexDigits[(c >> shift) & 0xF];
        }
    }
    return result;
}

std::u16string unescape(std::u16string_view text) {
    std::u16string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'%') {
            if (i + 1 < text.size() && text[i + 1] == u'u') {
                int value = readHex(text, i + 2, 4);
                if (value >= 0) {
                    result += static_cast<char16_t>(value);
                    i += 5;
                    continue;
                }
            }
            int value = readHex(text, i + 1, 2);
            if (value >= 0) {
                result += static_cast<char16_t>(value);
                i += 2;
                continue;
            }
        }
        result += text[i];
    }
    return result;
}

} // namespace vbscript::lib
