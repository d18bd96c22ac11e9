#include "lib/NumberFormat.h"
#include "TestText.h"
#include "lib/LibError.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace vbscript::lib;
using vbscript::lib::test::errorOf;
using vbscript::lib::test::u16;
using vbscript::lib::test::utf8;

TEST(NumberFormat, DoubleAndSingleAsCStrPrintsThem) {
    struct Case {
        double value;
        const char* expected;
    } doubles[] = {
        {0, "0"},
        {-0.0, "0"},
        {3.5, "3.5"},
        {-3.5, "-3.5"},
        {0.1 + 0.2, "0.3"}, // 15 digits hide the binary noise
        {1.0 / 3, "0.333333333333333"},
        {123456789012345, "123456789012345"},
        {999999999999999, "999999999999999"},
        {1e15, "1E+15"},
        {1e16, "1E+16"},
        {1234567890123456, "1.23456789012346E+15"},
        {0.0001, "0.0001"},
        {0.00001, "1E-05"},
        {1.5e-7, "1.5E-07"},
        {-2.5e-300, "-2.5E-300"},
        {1.7976931348623157e308, "1.79769313486232E+308"},
        {100, "100"},
        {0.5, "0.5"},
    };
    for (const auto& c : doubles)
        EXPECT_EQ(utf8(doubleToString(c.value)), c.expected) << c.value;
    EXPECT_EQ(utf8(singleToString(3242.4f)), "3242.4");
    EXPECT_EQ(utf8(singleToString(1.0f / 3)), "0.3333333");
    EXPECT_EQ(utf8(singleToString(1e7f)), "1E+07");
    EXPECT_EQ(utf8(singleToString(1234567.0f)), "1234567");
    EXPECT_EQ(utf8(singleToString(0.1f)), "0.1"); // not 0.100000001
}

TEST(NumberFormat, CurrencyAsCStrPrintsIt) {
    EXPECT_EQ(utf8(currencyToString(15000)), "1.5");
    EXPECT_EQ(utf8(currencyToString(-1)), "-0.0001");
    EXPECT_EQ(utf8(currencyToString(0)), "0");
    EXPECT_EQ(utf8(currencyToString(std::numeric_limits<std::int64_t>::max())), "922337203685477.5807");
    EXPECT_EQ(utf8(currencyToString(std::numeric_limits<std::int64_t>::min())), "-922337203685477.5808");
}

TEST(NumberFormat, ParsesNumbersLikeImplicitConversions) {
    struct Case {
        const char* text;
        double expected;
    } accepted[] = {
        {"44", 44},         {" 12 ", 12},       {"\t-1\n", -1},  {"+1.5", 1.5},
        {"-0.5", -0.5},     {".5", 0.5},        {"5.", 5},       {"1e3", 1000},
        {"1E-3", 0.001},    {"1.5e+2", 150},    {"1,000", 1000}, {"1,000.25", 1000.25},
        {"$5", 5},          {"-$5", -5},        {"(5)", -5},     {"5-", -5},
        {"&H10", 16},       {"&hff", 255},      {"&HFFFF", -1},  {"&H8000", -32768},
        {"&H10000", 65536}, {"&HFFFFFFFF", -1}, {"&O17", 15},    {"&o777", 511},
        {"007", 7},
    };
    for (const auto& c : accepted) {
        auto value = parseNumber(u16(c.text));
        ASSERT_TRUE(value) << c.text;
        EXPECT_DOUBLE_EQ(*value, c.expected) << c.text;
    }
    const char* rejected[] = {"",      " ",   "rwrf", "1a",   "e5",   "1e",  "1e+", ".",           "-",
                              "--1",   "1 2", "(5",   "5)",   "&H",   "&HG", "&O8", "&H100000000", "&12",
                              "1e999", ",5",  "+-1",  "1..2", "&H 1", "$",   "- 1x"};
    for (const char* text : rejected)
        EXPECT_FALSE(parseNumber(u16(text))) << text;
}

TEST(NumberFormat, BankersRoundingAndRanges) {
    struct Case {
        double value, expected;
    } halves[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {-2.5, -2}, {-3.5, -4}, {3.3, 3}, {-3.8, -4}, {1e20, 1e20}};
    for (const auto& c : halves)
        EXPECT_EQ(roundHalfEven(c.value), c.expected) << c.value;

    struct DigitCase {
        double value;
        int digits;
        double expected;
    } rounds[] = {{3.35, 1, 3.4}, {3.45, 1, 3.4}, {2.675, 2, 2.68}, {-2.675, 2, -2.68}, {1.005, 2, 1.0},
                  {3.3, 5, 3.3},  {0.004, 2, 0},  {0.005, 2, 0},    {0.015, 2, 0.02},   {99.95, 1, 100}};
    for (const auto& c : rounds)
        EXPECT_DOUBLE_EQ(roundToDigits(c.value, c.digits), c.expected) << c.value;
    EXPECT_EQ(errorOf([] { roundToDigits(1, -1); }), 5);

    EXPECT_EQ(toInteger(32767.4), 32767);
    EXPECT_EQ(toInteger(-32768.5), -32768);
    EXPECT_EQ(toInteger(2.5), 2);
    EXPECT_EQ(toLong(2147483647.49), 2147483647);
    EXPECT_EQ(toLong(-2147483648.5), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(toByte(254.5), 254);
    EXPECT_EQ(toCurrency(0.000149), 1);
    EXPECT_EQ(toCurrency(2147483647.99), 21474836479900);
    EXPECT_EQ(toCurrency(-0.00005), 0);
    for (auto call : {+[] { toInteger(32767.5); }, +[] { toInteger(-32769); }, +[] { toLong(2147483647.5); },
                      +[] { toLong(-2147483648.51); }, +[] { toByte(-0.51); }, +[] { toByte(255.5); },
                      +[] { toCurrency(1e15); }, +[] { toInteger(std::nan("")); }})
        EXPECT_EQ(errorOf(call), 6);
}

TEST(NumberFormat, HexAndOctOfIntegersAndLongs) {
    EXPECT_EQ(utf8(toHex(0, true)), "0");
    EXPECT_EQ(utf8(toHex(-1, true)), "FFFF");
    EXPECT_EQ(utf8(toHex(-32767, true)), "8001");
    EXPECT_EQ(utf8(toHex(-32768, false)), "FFFF8000");
    EXPECT_EQ(utf8(toHex(static_cast<std::int32_t>(0xDEADBEEF), false)), "DEADBEEF");
    EXPECT_EQ(utf8(toOct(-1, true)), "177777");
    EXPECT_EQ(utf8(toOct(-32768, false)), "37777700000");
    EXPECT_EQ(utf8(toOct(9, false)), "11");
}

TEST(NumberFormat, FormatNumberCurrencyPercent) {
    struct Case {
        double value;
        NumberFormatOptions options;
        const char* number;
        const char* currency;
        const char* percent;
    } cases[] = {
        {1234.5, {}, "1,234.50", "$1,234.50", "123,450.00%"},
        {-1234.5, {}, "-1,234.50", "($1,234.50)", "-123,450.00%"},
        {0.5, {0}, "1", "$1", "50%"}, // half away from zero, unlike Round
        {2.5, {0}, "3", "$3", "250%"},
        {0.125, {2, 0}, ".13", "$.13", "12.50%"},
        {-0.5, {1, -1, -1}, "(0.5)", "($0.5)", "(50.0%)"},
        {-0.5, {1, -2, 0}, "-0.5", "-$0.5", "-50.0%"},
        {1234567, {0, -2, -2, 0}, "1234567", "$1234567", "123456700%"},
        {-0.001, {2}, "0.00", "$0.00", "-0.10%"}, // nothing left to be negative
        {999.999, {2}, "1,000.00", "$1,000.00", "99,999.90%"},
        {1e20,
         {0},
         "100,000,000,000,000,000,000",
         "$100,000,000,000,000,000,000",
         "10,000,000,000,000,000,000,000%"},
        {0, {}, "0.00", "$0.00", "0.00%"},
        {1.5, {4}, "1.5000", "$1.5000", "150.0000%"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(utf8(formatNumber(c.value, c.options)), c.number) << c.value;
        EXPECT_EQ(utf8(formatCurrency(c.value, c.options)), c.currency) << c.value;
        EXPECT_EQ(utf8(formatPercent(c.value, c.options)), c.percent) << c.value;
    }
    EXPECT_EQ(errorOf([] { formatNumber(1, {-3}); }), 5);
    EXPECT_EQ(errorOf([] { formatNumber(std::numeric_limits<double>::infinity()); }), 6);
}
