#include "tests/platform/desktop/QtPrinters.h"

#include "platform/desktop/DesktopError.h"
#include "platform/desktop/KeySequence.h"
#include "platform/fake/FakeKeySender.h"

#include <gtest/gtest.h>

using namespace qz;

namespace {

struct Case {
    const char* name;
    QString input;
    QString expected; // as describeKeyStrokes writes it
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class ParseKeySequence : public testing::TestWithParam<Case> {};

TEST_P(ParseKeySequence, GivesTheKeyStrokes) {
    EXPECT_EQ(describeKeyStrokes(parseKeySequence(GetParam().input)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ParseKeySequence,
    testing::Values(
        Case{"Plain", "Hello, world!", "Hello, world!"}, Case{"Empty", "", ""},
        Case{"Shift", "+a", "[Shift+a]"}, Case{"Control", "^c", "[Ctrl+c]"}, Case{"Alt", "%f", "[Alt+f]"},
        Case{"ModifiersCombine", "+^%x", "[Ctrl+Alt+Shift+x]"},
        Case{"ModifierActsOnOneKeyOnly", "^ab", "[Ctrl+a]b"}, Case{"TildeIsEnter", "a~b", "a[Enter]b"},
        Case{"BracedName", "{ENTER}{TAB}{ESC}", "[Enter][Tab][Esc]"},
        Case{"NamesIgnoreCase", "{Enter}{pgdn}", "[Enter][PgDn]"},
        Case{"Aliases", "{BS}{BKSP}{BACKSPACE}{DEL}{DELETE}{INS}{INSERT}",
             "[Backspace][Backspace][Backspace][Delete][Delete][Insert][Insert]"},
        Case{"EveryOtherName",
             "{BREAK}{CAPSLOCK}{DOWN}{END}{HELP}{HOME}{LEFT}{NUMLOCK}{PGUP}{PRTSC}{RIGHT}{SCROLLLOCK}{UP}"
             "{ADD}{SUBTRACT}{MULTIPLY}{DIVIDE}",
             "[Break][CapsLock][Down][End][Help][Home][Left][NumLock][PgUp][PrtSc][Right][ScrollLock][Up]"
             "[Add][Subtract][Multiply][Divide]"},
        Case{"FunctionKeys", "{F1}{F4}{F10}{F16}", "[F1][F4][F10][F16]"},
        Case{"ModifierOnBracedKey", "%{F4}", "[Alt+F4]"},
        Case{"RepeatCount", "{LEFT 3}", "[Left][Left][Left]"},
        Case{"RepeatWithModifier", "+{TAB 2}", "[Shift+Tab][Shift+Tab]"},
        Case{"RepeatCharacter", "{x 4}", "xxxx"}, Case{"RepeatZero", "a{TAB 0}b", "ab"},
        Case{"EscapedSpecials", "{+}{^}{%}{~}{(}{)}{{}{}}", "+^%~(){}"},
        Case{"EscapedBraceRepeated", "{} 2}", "}}"}, Case{"Group", "+(abc)", "[Shift+a][Shift+b][Shift+c]"},
        Case{"GroupThenPlain", "+(ab)c", "[Shift+a][Shift+b]c"},
        Case{"NestedGroups", "^(+(a)b)", "[Ctrl+Shift+a][Ctrl+b]"},
        Case{"GroupWithBracedKey", "^({HOME}x)", "[Ctrl+Home][Ctrl+x]"},
        Case{"GroupWithoutModifier", "(ab)", "ab"}, Case{"BracketsAreCharacters", "a[b]", "a[b]"},
        Case{"LineBreaksAndTabs", "a\nb\tc", "a[Enter]b[Tab]c"},
        Case{"NonAscii", QString::fromUtf8("é€ж😀"), QString::fromUtf8("é€ж😀")}));

class MalformedKeySequence : public testing::TestWithParam<Case> {};

TEST_P(MalformedKeySequence, IsAnErrorThatSaysWhy) {
    try {
        parseKeySequence(GetParam().input);
        FAIL() << "no error for " << GetParam().input.toStdString();
    } catch (const std::invalid_argument& e) {
        const QString message = QString::fromUtf8(e.what());
        EXPECT_TRUE(message.contains(GetParam().expected)) << message.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, MalformedKeySequence,
    testing::Values(Case{"UnclosedBrace", "ab{ENTER", "brace at position 3 is not closed"},
                    Case{"UnknownName", "{FOO}", "unknown key name {FOO}"},
                    Case{"NoF17", "{F17}", "unknown key name {F17}"},
                    Case{"EmptyBraces", "a{}b", "empty braces"}, Case{"BadCount", "{LEFT x}", "repeat count"},
                    Case{"CountTooLarge", "{a 100000}", "repeat count"},
                    Case{"UnclosedParenthesis", "+(ab", "parenthesis is not closed"},
                    Case{"StrayClosingParenthesis", "ab)", "closes no parenthesis"},
                    Case{"StrayClosingBrace", "a}", "closes no brace"},
                    Case{"TrailingModifier", "ab^", "modifier at the end"},
                    Case{"ModifierBeforeClose", "(a+)", "modifier before"}));

struct LiteralCase {
    const char* name;
    QString input;
    QString expected;
};

void PrintTo(const LiteralCase& c, std::ostream* os) {
    *os << c.name;
}

class LiteralKeyStrokes : public testing::TestWithParam<LiteralCase> {};

TEST_P(LiteralKeyStrokes, TypeEveryCharacterAsItself) {
    EXPECT_EQ(describeKeyStrokes(literalKeyStrokes(GetParam().input)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LiteralKeyStrokes,
    testing::Values(LiteralCase{"Plain", "call me at five", "call me at five"},
                    LiteralCase{"SyntaxCharactersStayText", "1+2^3 is 100% ~{x}(y)", "1+2^3 is 100% ~{x}(y)"},
                    LiteralCase{"UnbalancedIsFine", "{(", "{("},
                    LiteralCase{"CrLfIsOneEnter", "a\r\nb\rc\nd", "a[Enter]b[Enter]c[Enter]d"},
                    LiteralCase{"Tab", "a\tb", "a[Tab]b"},
                    LiteralCase{"NonAscii", QString::fromUtf8("naïve 😀"), QString::fromUtf8("naïve 😀")}));

TEST(KeySender, MalformedSequenceSendsNothing) {
    FakeKeySender keys;
    EXPECT_THROW(keys.pressKeys("abc{ENTER"), KeySequenceError);
    EXPECT_TRUE(keys.sent.isEmpty());
    keys.pressKeys("^c");
    keys.typeText("^c");
    EXPECT_EQ(keys.sent, QStringList({"[Ctrl+c]", "^c"}));
}

} // namespace
