#include "lib/Escape.h"
#include "TestText.h"
#include "lib/CharCase.h"

#include <gtest/gtest.h>

using namespace vbscript::lib;
using vbscript::lib::test::utf8;

TEST(Escape, EscapeKeepsSafeUnitsAndEncodesTheRest) {
    EXPECT_EQ(utf8(escape(u"AZaz09@*_+-./")), "AZaz09@*_+-./");
    EXPECT_EQ(utf8(escape(u"a b&c=d%")), "a%20b%26c%3Dd%25");
    EXPECT_EQ(utf8(escape(u"\u00e9\u00ff\u0100\u20ac")), "%E9%FF%u0100%u20AC");
    EXPECT_EQ(utf8(escape(std::u16string(1, u'\0'))), "%00");
    EXPECT_EQ(utf8(escape(u"")), "");
}

TEST(Escape, UnescapeDecodesValidSequencesOnly) {
    EXPECT_EQ(unescape(u"a%20b%u20AC%e9"), u"a b\u20ac\u00e9");
    // Incomplete or invalid sequences stay as written.
    EXPECT_EQ(unescape(u"%"), u"%");
    EXPECT_EQ(unescape(u"100%"), u"100%");
    EXPECT_EQ(unescape(u"%2"), u"%2");
    EXPECT_EQ(unescape(u"%zz%u12"), u"%zz%u12");
    EXPECT_EQ(unescape(u"%u12G4"), u"%u12G4");
    EXPECT_EQ(unescape(u"%u0041%41"), u"AA");
    std::u16string all;
    for (char16_t c = 0; c < 0x3000; c += 7)
        all += c;
    EXPECT_EQ(unescape(escape(all)), all);
}

TEST(CharCase, MapsCasedScriptsBothWays) {
    struct Case {
        char16_t lower, upper;
    } pairs[] = {{u'a', u'A'},     {u'z', u'Z'},     {0x00E9, 0x00C9}, {0x00FF, 0x0178}, {0x0101, 0x0100},
                 {0x017E, 0x017D}, {0x03B1, 0x0391}, {0x03CE, 0x038F}, {0x0430, 0x0410}, {0x0451, 0x0401},
                 {0x0561, 0x0531}, {0xFF41, 0xFF21}, {0x1E01, 0x1E00}};
    for (const auto& p : pairs) {
        EXPECT_EQ(toUpper(p.lower), p.upper) << std::hex << int(p.lower);
        EXPECT_EQ(toLower(p.upper), p.lower) << std::hex << int(p.upper);
    }
    for (char16_t same :
         {u'1', u'_', char16_t(0x00D7), char16_t(0x00F7), char16_t(0x4E00), char16_t(0x00DF)}) {
        EXPECT_EQ(toUpper(same), same);
        EXPECT_EQ(toLower(same), same);
    }
    EXPECT_EQ(toUpper(char16_t(0x03C2)), 0x03A3); // final sigma
    EXPECT_EQ(toUpper(u"stra\u00dfe \u00e9t\u00e9"), u"STRA\u00dfE \u00c9T\u00c9");
    EXPECT_EQ(compareText(u"abc", u"ABC"), 0);
    EXPECT_LT(compareText(u"abc", u"ABD"), 0);
    EXPECT_GT(compareText(u"abcd", u"ABC"), 0);
    // Punctuation sorts before letters whatever their case, as in a text comparison of Windows.
    EXPECT_LT(compareText(u"_", u"a"), 0);
    EXPECT_LT(compareText(u"_", u"A"), 0);
}
