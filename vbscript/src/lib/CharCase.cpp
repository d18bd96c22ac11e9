#include "lib/CharCase.h"

namespace vbscript::lib {
namespace {

// Blocks where upper and lower case alternate, upper case on the even (or odd) unit.
struct AlternatingBlock {
    char16_t first, last;
    bool upperIsEven;
};

constexpr AlternatingBlock kAlternating[] = {
    {0x0100, 0x012F, true},  {0x0132, 0x0137, true},  {0x0139, 0x0148, false}, {0x014A, 0x0177, true},
    {0x0179, 0x017E, false}, {0x0182, 0x0185, true},  {0x01A0, 0x01A5, true},  {0x01DE, 0x01EF, true},
    {0x01F8, 0x021F, true},  {0x0222, 0x0233, true},  {0x03D8, 0x03EF, true},  {0x0460, 0x0481, true},
    {0x048A, 0x04BF, true},  {0x04C1, 0x04CE, false}, {0x04D0, 0x052F, true},  {0x1E00, 0x1E95, true},
    {0x1EA0, 0x1EFF, true},  {0x2C80, 0x2CE3, true},  {0xA640, 0xA66D, true},  {0xA722, 0xA72F, true},
};

// Blocks where a run of lower-case letters sits at a fixed distance above its upper-case run.
struct ShiftedBlock {
    char16_t upperFirst, upperLast;
    int offset; // lower = upper + offset
};

constexpr ShiftedBlock kShifted[] = {
    {u'A', u'Z', 32},       {0x00C0, 0x00D6, 32}, {0x00D8, 0x00DE, 32}, {0x0386, 0x0386, 38},
    {0x0388, 0x038A, 37},   {0x038C, 0x038C, 64}, {0x038E, 0x038F, 63}, {0x0391, 0x03A1, 32},
    {0x03A3, 0x03AB, 32},   {0x0400, 0x040F, 80}, {0x0410, 0x042F, 32}, {0x0531, 0x0556, 48},
    {0x10A0, 0x10C5, 7264}, {0x1F08, 0x1F0F, -8}, {0x1F18, 0x1F1D, -8}, {0x1F28, 0x1F2F, -8},
    {0x1F38, 0x1F3F, -8},   {0x1F48, 0x1F4D, -8}, {0x1F68, 0x1F6F, -8}, {0x2160, 0x216F, 16},
    {0x24B6, 0x24CF, 26},   {0x2C00, 0x2C2E, 48}, {0xFF21, 0xFF3A, 32},
};

bool inAlternating(char16_t c, bool wantUpper, char16_t& mapped) {
    for (const auto& block : kAlternating) {
        if (c < block.first || c > block.last) continue;
        bool isEven = (c % 2) == 0;
        bool isUpper = isEven == block.upperIsEven;
        if (isUpper == wantUpper) return false; // already in the wanted case
        char16_t other = static_cast<char16_t>(isUpper ? c + 1 : c - 1);
        if (other < block.first || other > block.last) return false;
        mapped = other;
        return true;
    }
    return false;
}

} // namespace

char16_t toUpper(char16_t c) {
    if (c < 0x80) return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
    if (c == 0x00FF) return 0x0178;
    if (c == 0x03C2) return 0x03A3; // final sigma
    for (const auto& block : kShifted) {
        int upper = c - block.offset;
        if (upper >= block.upperFirst && upper <= block.upperLast) return static_cast<char16_t>(upper);
    }
    char16_t mapped;
    if (inAlternating(c, true, mapped)) return mapped;
    return c;
}

char16_t toLower(char16_t c) {
    if (c < 0x80) return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
    if (c == 0x0178) return 0x00FF;
    for (const auto& block : kShifted) {
        if (c >= block.upperFirst && c <= block.upperLast) return static_cast<char16_t>(c + block.offset);
    }
    char16_t mapped;
    if (inAlternating(c, false, mapped)) return mapped;
    return c;
}

std::u16string toUpper(std::u16string_view text) {
    std::u16string result(text);
    for (auto& c : result)
        c = toUpper(c);
    return result;
}

std::u16string toLower(std::u16string_view text) {
    std::u16string result(text);
    for (auto& c : result)
        c = toLower(c);
    return result;
}

int compareText(std::u16string_view a, std::u16string_view b) {
    std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        // Folding to lower case keeps the punctuation between 'Z' and 'a' ahead of every letter.
        char16_t x = toLower(a[i]), y = toLower(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

} // namespace vbscript::lib
