#pragma once

// Numbers as text and text as numbers, the way VBScript converts them in en-US; and the rounding rules
// behind CInt, CLng, CByte, CCur and Round.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vbscript::lib {

// Currency is a 64-bit integer holding the value times 10 000.
inline constexpr std::int64_t kCurrencyScale = 10000;

// CStr of a Double: up to 15 significant digits; exponent form below 1E-4 and from 1E15 up ("1E+16",
// "1.5E-07").
std::u16string doubleToString(double value);
// CStr of a Single: up to 7 significant digits; exponent form below 1E-4 and from 1E7 up.
std::u16string singleToString(float value);
// CStr of a Currency (scaled by 10 000): up to four decimals, no trailing zeros ("1.5", "-0.0001").
std::u16string currencyToString(std::int64_t scaled);

// What implicit conversions, CDbl and IsNumeric accept: surrounding white space, a leading or trailing sign,
// parentheses for a negative, a leading "$", "," between integer digits, a decimal point, an exponent
// ("1E3", "1e-3"), and "&H"/"&O" hex/octal (16-bit patterns read as Integer, wider as Long: "&HFFFF" is -1).
// nullopt for anything else, including "" and overflow past Double's range.
std::optional<double> parseNumber(std::u16string_view text);

// Round half to even, to an integer.
double roundHalfEven(double value);
// Round(x, digits): half to even at the given decimal digit; digits < 0 throws LibError{5}.
double roundToDigits(double value, int digits);
// CByte/CInt/CLng/CCur rounding with range checks: out of range throws LibError{6}.
std::uint8_t toByte(double value);
std::int16_t toInteger(double value);
std::int32_t toLong(double value);
std::int64_t toCurrency(double value); // scaled by 10 000, rounding the fifth decimal half to even

// Hex/Oct of an Integer (sixteenBit, negatives print 4 / 6 digits: "FFFF", "177777") or a Long.
std::u16string toHex(std::int32_t value, bool sixteenBit);
std::u16string toOct(std::int32_t value, bool sixteenBit);

// Tristate arguments of the Format functions: -2 (vbUseDefault), -1 (vbTrue), 0 (vbFalse).
inline constexpr int kUseDefault = -2;

struct NumberFormatOptions {
    int digitsAfterPoint = -1;           // -1: the locale's 2
    int leadingDigit = kUseDefault;      // default: "0.5", not ".5"
    int parensForNegative = kUseDefault; // default: "-1.00" (FormatCurrency: "($1.00)")
    int groupDigits = kUseDefault;       // default: "1,000.00"
};

// FormatNumber / FormatCurrency ("$1,000.00") / FormatPercent (value times 100, "50.00%").
// digitsAfterPoint < -1 or > 255 throws LibError{5}.
std::u16string formatNumber(double value, const NumberFormatOptions& options = {});
std::u16string formatCurrency(double value, const NumberFormatOptions& options = {});
std::u16string formatPercent(double value, const NumberFormatOptions& options = {});

} // namespace vbscript::lib
