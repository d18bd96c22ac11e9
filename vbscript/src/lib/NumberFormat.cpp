#include "lib/NumberFormat.h"

#include "lib/LibError.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace vbscript::lib {
namespace {

// A finite non-zero number as its decimal digits: value = 0.d1d2d3... * 10^(exponent + 1).
struct Decimal {
    bool negative = false;
    std::string digits; // no leading zeros; empty for zero
    int exponent = 0;   // power of ten of the first digit
};

Decimal toDecimal(double value, int significant) {
    Decimal result;
    if (value == 0 || !std::isfinite(value)) return result;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", significant - 1, value);
    const char* p = buffer;
    if (*p == '-') {
        result.negative = true;
        ++p;
    }
    for (; *p && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9') result.digits += *p;
    }
    result.exponent = *p == 'e' ? std::atoi(p + 1) : 0;
    while (!result.digits.empty() && result.digits.back() == '0')
        result.digits.pop_back();
    return result;
}

std::u16string widen(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

// Plain or exponent form of a number shown with `significant` digits, as CStr prints it.
std::u16string shortestForm(double value, int significant) {
    if (value == 0 || std::isnan(value)) return u"0";
    Decimal d = toDecimal(value, significant);
    if (d.digits.empty()) return u"0";
    std::string out = d.negative ? "-" : "";
    if (d.exponent < -4 || d.exponent >= significant) {
        out += d.digits[0];
        if (d.digits.size() > 1) out += "." + d.digits.substr(1);
        char exponent[16];
        std::snprintf(exponent, sizeof exponent, "E%c%02d", d.exponent < 0 ? '-' : '+', std::abs(d.exponent));
        out += exponent;
    } else if (d.exponent < 0) {
        out += "0." + std::string(-d.exponent - 1, '0') + d.digits;
    } else {
        std::size_t integerDigits = d.exponent + 1;
        if (d.digits.size() <= integerDigits) {
            out += d.digits + std::string(integerDigits - d.digits.size(), '0');
        } else {
            out += d.digits.substr(0, integerDigits) + "." + d.digits.substr(integerDigits);
        }
    }
    return widen(out);
}

// Rounds the digit string to `keep` digits (keep may be 0 or negative); true when it must be rounded up,
// and `digits` is left with the kept digits. Half-way cases go to even or away from zero.
bool roundDigits(std::string& digits, int keep, bool halfToEven) {
    if (keep >= static_cast<int>(digits.size())) return false;
    if (keep < 0) {
        digits.clear();
        return false;
    }
    char first = digits[keep];
    bool restNonZero = digits.find_first_not_of('0', keep + 1) != std::string::npos;
    bool lastOdd = keep > 0 && ((digits[keep - 1] - '0') % 2) == 1;
    digits.resize(keep);
    if (first > '5' || (first == '5' && restNonZero)) return true;
    if (first == '5') return halfToEven ? lastOdd : true;
    return false;
}

// Adds one unit in the last place of `digits`, carrying into a new leading digit when needed.
void incrementDigits(std::string& digits, int& exponent) {
    int i = static_cast<int>(digits.size()) - 1;
    for (; i >= 0; --i) {
        if (digits[i] == '9') {
            digits[i] = '0';
        } else {
            ++digits[i];
            return;
        }
    }
    digits.insert(digits.begin(), '1');
    ++exponent;
}

// The number rounded to `decimals` places as integer and fraction digit strings (no sign).
void fixedDigits(double value, int decimals, bool halfToEven, std::string& integerPart, std::string& fraction,
                 bool& negative) {
    Decimal d = toDecimal(value, 15);
    negative = d.negative;
    int keep = d.exponent + 1 + decimals;
    if (!d.digits.empty() && roundDigits(d.digits, keep, halfToEven)) {
        if (d.digits.empty()) {
            // Everything was dropped and rounded up: one unit at the last kept place.
            d.digits = "1";
            d.exponent = -decimals;
        } else {
            incrementDigits(d.digits, d.exponent);
        }
    }
    integerPart.clear();
    fraction.clear();
    for (int place = std::max(d.exponent, 0); place >= -decimals; --place) {
        int index = d.exponent - place;
        char digit = (index >= 0 && index < static_cast<int>(d.digits.size())) ? d.digits[index] : '0';
        if (place >= 0)
            integerPart += digit;
        else
            fraction += digit;
    }
    if (integerPart.empty()) integerPart = "0";
    if (integerPart.find_first_not_of('0') == std::string::npos &&
        fraction.find_first_not_of('0') == std::string::npos)
        negative = false; // nothing left to be negative
}

bool isSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f';
}

std::optional<double> parseRadix(std::u16string_view text, int radix) {
    if (text.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (char16_t c : text) {
        int digit;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            return std::nullopt;
        if (digit >= radix) return std::nullopt;
        value = value * radix + digit;
        if (value > 0xFFFFFFFFull) return std::nullopt;
    }
    // The bit pattern is read as a signed Integer when it fits 16 bits, else as a signed Long.
    if (value <= 0xFFFF)
        return static_cast<double>(static_cast<std::int16_t>(static_cast<std::uint16_t>(value)));
    return static_cast<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(value)));
}

double checkedRound(double value, double low, double high) {
    if (std::isnan(value)) throw LibError{6};
    double r = roundHalfEven(value);
    if (r < low || r > high) throw LibError{6};
    return r;
}

int tristate(int value, bool fallback) {
    if (value == kUseDefault) return fallback;
    return value != 0;
}

struct FormatParts {
    std::u16string prefix, suffix;
};

std::u16string formatWith(double value, const NumberFormatOptions& options, const FormatParts& parts,
                          bool parensByDefault) {
    int decimals = options.digitsAfterPoint == -1 ? 2 : options.digitsAfterPoint;
    if (decimals < -1 || decimals > 255) throw LibError{5};
    if (!std::isfinite(value)) throw LibError{6};
    bool leading = tristate(options.leadingDigit, true);
    bool parens = tristate(options.parensForNegative, parensByDefault);
    bool group = tristate(options.groupDigits, true);

    std::string integerPart, fraction;
    bool negative;
    fixedDigits(value, decimals, false, integerPart, fraction, negative);

    std::string body;
    if (integerPart == "0" && !leading && decimals > 0) {
        body = "";
    } else if (group) {
        for (std::size_t i = 0; i < integerPart.size(); ++i) {
            if (i > 0 && (integerPart.size() - i) % 3 == 0) body += ',';
            body += integerPart[i];
        }
    } else {
        body = integerPart;
    }
    if (decimals > 0) body += "." + fraction;

    std::u16string text = parts.prefix + widen(body) + parts.suffix;
    if (!negative) return text;
    return parens ? u"(" + text + u")" : u"-" + text;
}

} // namespace

std::u16string doubleToString(double value) {
    return shortestForm(value, 15);
}

std::u16string singleToString(float value) {
    return shortestForm(value, 7);
}

std::u16string currencyToString(std::int64_t scaled) {
    bool negative = scaled < 0;
    std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(scaled) : static_cast<std::uint64_t>(scaled);
    std::string text = std::to_string(magnitude / kCurrencyScale);
    std::string fraction = std::to_string(magnitude % kCurrencyScale);
    fraction.insert(0, 4 - fraction.size(), '0');
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    if (!fraction.empty()) text += "." + fraction;
    return widen((negative ? "-" : "") + text);
}

std::optional<double> parseNumber(std::u16string_view text) {
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    if (text.size() >= 2 && text[0] == u'&') {
        char16_t kind = text[1];
        if (kind == u'h' || kind == u'H') return parseRadix(text.substr(2), 16);
        if (kind == u'o' || kind == u'O') return parseRadix(text.substr(2), 8);
        return std::nullopt;
    }

    std::size_t i = 0, n = text.size();
    bool negative = false, signSeen = false, parens = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        signSeen = true;
        ++i;
    } else if (i < n && text[i] == u'(') {
        parens = true;
        ++i;
    }
    if (i < n && text[i] == u'$') ++i;

    std::string number;
    bool digitSeen = false;
    for (; i < n; ++i) {
        char16_t c = text[i];
        if (c >= u'0' && c <= u'9') {
            number += static_cast<char>(c);
            digitSeen = true;
        } else if (c == u',' && digitSeen) {
            // thousands separator: skipped
        } else {
            break;
        }
    }
    if (i < n && text[i] == u'.') {
        number += '.';
        for (++i; i < n && text[i] >= u'0' && text[i] <= u'9'; ++i) {
            number += static_cast<char>(text[i]);
            digitSeen = true;
        }
    }
    if (!digitSeen) return std::nullopt;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        number += 'e';
        ++i;
        if (i < n && (text[i] == u'+' || text[i] == u'-')) number += static_cast<char>(text[i++]);
        bool exponentDigit = false;
        for (; i < n && text[i] >= u'0' && text[i] <= u'9'; ++i) {
            number += static_cast<char>(text[i]);
            exponentDigit = true;
        }
        if (!exponentDigit) return std::nullopt;
    }
    if (parens) {
        if (i >= n || text[i] != u')') return std::nullopt;
        negative = true;
        ++i;
    } else if (!signSeen && i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i != n) return std::nullopt;

    double value = std::strtod(number.c_str(), nullptr);
    if (!std::isfinite(value)) return std::nullopt;
    return negative ? -value : value;
}

double roundHalfEven(double value) {
    if (!std::isfinite(value)) return value;
    double floor = std::floor(value);
    double diff = value - floor;
    if (diff > 0.5) return floor + 1;
    if (diff < 0.5) return floor;
    return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

double roundToDigits(double value, int digits) {
    if (digits < 0) throw LibError{5};
    if (digits == 0 || value == 0 || !std::isfinite(value)) return roundHalfEven(value);
    if (digits > 400) return value; // past any double's last digit
    // Rounds the decimal digits the user sees, so Round(2.675, 2) is 2.68 and not 2.67.
    Decimal d = toDecimal(value, 15);
    int keep = d.exponent + 1 + digits;
    if (keep >= static_cast<int>(d.digits.size())) return value;
    bool up = roundDigits(d.digits, keep, true);
    if (d.digits.empty()) {
        if (!up) return d.negative ? -0.0 : 0.0;
        d.digits = "1";
        d.exponent = -digits;
    } else if (up) {
        incrementDigits(d.digits, d.exponent);
    }
    std::string text = (d.negative ? "-0." : "0.") + d.digits + "e" + std::to_string(d.exponent + 1);
    return std::strtod(text.c_str(), nullptr);
}

std::uint8_t toByte(double value) {
    return static_cast<std::uint8_t>(checkedRound(value, 0, 255));
}

std::int16_t toInteger(double value) {
    return static_cast<std::int16_t>(checkedRound(value, -32768, 32767));
}

std::int32_t toLong(double value) {
    return static_cast<std::int32_t>(checkedRound(value, -2147483648.0, 2147483647.0));
}

std::int64_t toCurrency(double value) {
    if (!std::isfinite(value)) throw LibError{6};
    double scaled = roundHalfEven(value * kCurrencyScale);
    // 2^63 is exactly representable; anything at or past it does not fit.
    if (scaled >= 9223372036854775808.0 || scaled < -9223372036854775808.0) throw LibError{6};
    return static_cast<std::int64_t>(scaled);
}

std::u16string toHex(std::int32_t value, bool sixteenBit) {
    std::uint32_t bits = sixteenBit ? static_cast<std::uint16_t>(value) : static_cast<std::uint32_t>(value);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%X", bits);
    return widen(buffer);
}

std::u16string toOct(std::int32_t value, bool sixteenBit) {
    std::uint32_t bits = sixteenBit ? static_cast<std::uint16_t>(value) : static_cast<std::uint32_t>(value);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%o", bits);
    return widen(buffer);
}

std::u16string formatNumber(double value, const NumberFormatOptions& options) {
    return formatWith(value, options, {}, false);
}

std::u16string formatCurrency(double value, const NumberFormatOptions& options) {
    return formatWith(value, options, {u"$", u""}, true);
}

std::u16string formatPercent(double value, const NumberFormatOptions& options) {
    return formatWith(value * 100, options, {u"", u"%"}, false);
}

} // namespace vbscript::lib
