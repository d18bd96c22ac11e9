#include "lib/Regex.h"
#include "TestText.h"
#include "lib/LibError.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace vbscript::lib;
using vbscript::lib::test::u16;
using vbscript::lib::test::utf8;

namespace {

// A match as "start:value(group,group)", "-" for a group that took no part; "none" without a match.
std::string describe(std::u16string_view pattern, std::u16string_view text, RegexFlags flags = {}) {
    Regex regex(pattern, flags);
    auto match = regex.search(text);
    if (!match) return "none";
    std::string out = std::to_string(match->start) + ":" + utf8(text.substr(match->start, match->length));
    if (!match->groups.empty()) {
        out += "(";
        for (std::size_t i = 0; i < match->groups.size(); ++i) {
            if (i) out += ",";
            const auto& g = match->groups[i];
            out += g ? utf8(text.substr(g->start, g->length)) : "-";
        }
        out += ")";
    }
    return out;
}

int compileError(std::u16string_view pattern) {
    try {
        Regex regex(pattern);
    } catch (const LibError& e) {
        return e.number;
    }
    return 0;
}

struct Case {
    const char* pattern;
    const char* text;
    const char* expected;
};

void check(const Case* begin, const Case* end, RegexFlags flags = {}) {
    for (const Case* c = begin; c != end; ++c)
        EXPECT_EQ(describe(u16(c->pattern), u16(c->text), flags), c->expected)
            << "/" << c->pattern << "/ on \"" << c->text << "\"";
}

} // namespace

TEST(Regex, AtomsQuantifiersAndAlternation) {
    const Case cases[] = {
        {"a+", " aabaaa", "1:aa"},
        {"a+?", "aaa", "0:a"},
        {"a*?b", "aaab", "0:aaab"},
        {"ab?c", "ac abc", "0:ac"},
        {"a{2}", "aaaa", "0:aa"},
        {"a{2,}", "aaaa", "0:aaaa"},
        {"a{2,3}", "aaaa", "0:aaa"},
        {"a{2,3}?", "aaaa", "0:aa"},
        {"a{0}b", "ab", "1:b"},
        {"x{2}y{,3}", "xxy{,3}", "0:xxy{,3}"}, // not a quantifier: literal braces
        {"a{", "a{", "0:a{"},
        {"cat|dog", "hotdog", "3:dog"},
        {"a|ab", "ab", "0:a"}, // first alternative wins, not the longest
        {"(a|b)+|(c)", "aa", "0:aa(a,-)"},
        {"(a)|b", "b", "0:b(-)"},
        {"(?:ab)+", "ababa", "0:abab"},
        {"(a)(b)cabc", "abcabc", "0:abcabc(a,b)"},
        {"((a)|b)+", "ab", "0:ab(b,a)"},
        {".", "\n\rx", "1:\r"},
        {"a.c", "abc", "0:abc"},
        {"", "test", "0:"},
        {"(a*)*b", "aab", "0:aab(aa)"},
        {"(a*)+", "b", "0:()"},
        {"(a|)*c", "aac", "0:aac(a)"},
        {"(?:a?)*?b", "ab", "0:ab"},
    };
    check(std::begin(cases), std::end(cases));
}

TEST(Regex, ClassesAndEscapes) {
    const Case cases[] = {
        {"[a-c]+", "xxbcax", "2:bca"},
        {"[^a-c]+", "abxyc", "2:xy"},
        {"[-a]+", "x-a-", "1:-a-"},
        {"[a-]+", "x-a-", "1:-a-"},
        {"[\\d-z]+", "a-1z", "1:-1z"},
        {"[]a]", "a]", "none"}, // [] is an empty class, then a literal 'a]'... never matches "a]"
        {"[^]", "\n", "0:\n"},
        {"[\\]]+", "a]]", "1:]]"},
        {"[\\b]", "a\bb", "1:\b"},
        {"[.]", "a.b", "1:."},
        {"\\d+", "ab123c", "2:123"},
        {"\\D+", "12ab3", "2:ab"},
        {"\\w+", "  foo_1 ", "2:foo_1"},
        {"\\W+", "ab, cd", "2:, "},
        {"\\s+", "a \t\r\n\v\fb", "1: \t\r\n\v\f"},
        {"\\S+", "  ab ", "2:ab"},
        {"[\\s\\d]+", "a 1 2b", "1: 1 2"},
        {"[^\\d\\s]+", "12 ab3", "3:ab"},
        {"\\t\\n\\r\\f\\v", "x\t\n\r\f\v", "1:\t\n\r\f\v"},
        {"\\x41\\u0042", "zAB", "1:AB"},
        {"\\xZ", "xZ", "0:xZ"}, // not hex: a literal 'x'
        {"\\cJ", "a\nb", "1:\n"},
        {"\\c1", "\\c1", "0:\\c1"},
        {"\\.\\*\\\\", "a.*\\", "1:.*\\"},
        {"\\[([^\\[]+)\\]", " [test]  ", "1:[test](test)"},
    };
    check(std::begin(cases), std::end(cases));
    std::u16string withNul = u"a";
    withNul += u'\0';
    EXPECT_EQ(Regex(u"\\0").search(withNul)->start, 1u);
    EXPECT_EQ(describe(u"\\101", u"A"), "0:A"); // octal when there is no such group
    EXPECT_EQ(describe(u"\\8", u"8"), "0:8");
}

TEST(Regex, AnchorsBoundariesAndLookahead) {
    const Case cases[] = {
        {"^abc", "abc abc", "0:abc"},
        {"^b", "ab", "none"},
        {"c$", "abc\n", "none"}, // $ is the end of the input only
        {"b$", "ab\nab", "4:b"},
        {"\\bfoo\\b", "afoo foo", "5:foo"},
        {"\\Boo", "foo", "1:oo"},
        {"\\b", "  ", "none"},
        {"a(?=b)", "acab", "2:a"},
        {"a(?!b)", "abac", "2:a"},
        {"(?=(a+))a*b\\1", "baaabac", "3:aba(a)"},
        {"(?!(a))\\w", "ab", "1:b(-)"}, // a negative lookahead leaves no captures
        {"(?=a)*a", "a", "0:a"},
        {"^[^<]*(<(.|\\s)+>)[^>]*$|^#(\\w+)$", "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx", "none"},
    };
    check(std::begin(cases), std::end(cases));
    const Case multiline[] = {
        {"^b", "a\nb", "2:b"},
        {"a$", "a\nb", "0:a"},
        {"^$", "a\n\nb", "2:"},
    };
    check(std::begin(multiline), std::end(multiline), RegexFlags{false, true});
}

TEST(Regex, BackReferencesAndIgnoreCase) {
    const Case cases[] = {
        {"(\\w)\\1", "abccd", "2:cc(c)"},
        {"(a)|\\1b", "b", "0:b(-)"}, // an unset group matches empty
        {"(a\\1)", "aa", "0:a(a)"},  // a reference inside its own group is empty
        {"(\\d+)-\\1", "12-13 13-13", "6:13-13(13)"},
        {"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)\\10", "abcdefghijj", "0:abcdefghijj(a,b,c,d,e,f,g,h,i,j)"},
    };
    check(std::begin(cases), std::end(cases));
    const Case folded[] = {
        {"Ab", "xaB", "1:aB"},       {"[a-c]+", "xABCd", "1:ABC"},     {"[^a-c]+", "ABCxyz", "3:xyz"},
        {"(a)\\1", "aA", "0:aA(a)"}, {"\u00e9", "\u00c9", "0:\u00c9"},
    };
    for (const auto& c : folded) {
        std::u16string pattern = c.pattern[0] == '\xc3' ? u"\u00e9" : u16(c.pattern);
        std::u16string text = c.text[0] == '\xc3' ? u"\u00c9" : u16(c.text);
        EXPECT_EQ(describe(pattern, text, RegexFlags{true, false}), c.expected) << c.pattern;
    }
    EXPECT_EQ(describe(u"Ab", u"ab"), "none");
}

TEST(Regex, SyntaxErrorsCarryRegExpNumbers) {
    struct ErrorCase {
        const char* pattern;
        int number;
    } cases[] = {
        {"*a", 5018},   {"a**", 5018},     {"a|+", 5018},   {"(+)", 5018},    {"^*", 5018},    {"\\b+", 5018},
        {"{2}", 5018},  {"a{2}{3}", 5018}, {"[abc", 5019},  {"[a\\", 5019},   {"(abc", 5020},  {"((a)", 5020},
        {"abc)", 5017}, {"a\\", 5017},     {"(?<a)", 5017}, {"a{3,2}", 5017}, {"[z-a]", 5021},
    };
    for (const auto& c : cases)
        EXPECT_EQ(compileError(u16(c.pattern)), c.number) << c.pattern;
    EXPECT_EQ(compileError(std::u16string(1000, u'(') + std::u16string(1000, u')')), 28);
    EXPECT_EQ(compileError(u"(((a{1000}){1000}){1000})"), 5017); // would unroll past any sane size
}

TEST(Regex, RunawayBacktrackingStopsWithAnError) {
    std::u16string text(40, u'a');
    text += u'!';
    auto start = std::chrono::steady_clock::now();
    try {
        Regex(u"(a*)*(a*)*b").search(text);
        FAIL() << "expected the step budget to run out";
    } catch (const LibError& e) {
        EXPECT_EQ(e.number, 28);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    // The host's poll (its time-out) can abandon a long search well before the budget runs out.
    int polls = 0;
    struct Abandoned {};
    EXPECT_THROW(Regex(u"(a*)*(a*)*b")
                     .search(text, 0,
                             [&] {
                                 if (++polls == 3) throw Abandoned{};
                             }),
                 Abandoned);
    EXPECT_EQ(polls, 3);
    // A scan of a long text costs steps in proportion to its length: not runaway backtracking.
    std::u16string words;
    while (words.size() < 3'000'000)
        words += u"abcdefg ";
    EXPECT_FALSE(Regex(u"\\w+\\w+@").search(words));
    // Long inputs with simple loops neither overflow the stack nor trip the budget.
    std::u16string longText(1'000'000, u'x');
    auto match = Regex(u"(x|y)*$").search(longText);
    ASSERT_TRUE(match);
    EXPECT_EQ(match->length, longText.size());
}

TEST(Regex, ExecuteAndReplace) {
    Regex plus(u"a+");
    auto all = plus.searchAll(u" aabaaa", true);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[1].start, 4u);
    EXPECT_EQ(all[1].length, 3u);
    EXPECT_EQ(plus.searchAll(u" aabaaa", false).size(), 1u);
    EXPECT_EQ(Regex(u"").searchAll(u"test", true).size(), 5u);
    EXPECT_EQ(Regex(u"x*").searchAll(u"axx", true).size(), 3u); // "", "xx", ""
    EXPECT_TRUE(Regex(u"^a").searchAll(u"aaa", true).size() == 1);

    struct ReplaceCase {
        const char* pattern;
        const char* text;
        const char* replacement;
        bool global;
        const char* expected;
    } cases[] = {
        {"xxx", "xxxx", "y", true, "yx"},
        {"\\[([^\\[]+)\\]", "[test] [test]", "<$1>", true, "<test> <test>"},
        {"\\[([^\\[]+)\\]", "[test] [test]", "aa", false, "aa [test]"},
        {"(&(\\d))", "abc &1 123", "$'", true, "abc  123 123"},
        {"(&(\\d))", "abc &1 123", "$`", true, "abc abc  123"},
        {"(&(\\d))", "abc &1 123", "$3", true, "abc $3 123"},
        {"(\\$(\\d))", "$1,$2", "$$1-$1$2", true, "$1-$11,$1-$22"},
        {"b", "abc", "x$&z", true, "axbzc"},
        {"b", "abc", "$", true, "a$c"},
        {"b", "abc", "$x$0", true, "a$x$0c"},
        {"(a)|(b)", "ab", "[$2]", true, "[][b]"},
        {"", "xxx", "y", false, "yxxx"},
        {"", "xxx", "y", true, "yxyxyxy"},
        {"(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)", "abcdefghij", "$10$11", true, "ja1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(utf8(Regex(u16(c.pattern)).replace(u16(c.text), u16(c.replacement), c.global)), c.expected)
            << c.pattern << " -> " << c.replacement;
}
