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

namespace {

TEST(KeySender, RefusesTextsAndKeyRunsBeyondTheLimitAndSaysWhy) {
    const struct {
        const char* name;
        bool literal;
        QString input;
        const char* why; // nullptr: sent
    } cases[] = {
        {"HundredThousandCharacters", false, QString(100000, u'a'), nullptr},
        {"OneMoreCharacter", false, QString(100001, u'a'),
         "has 100,001 characters; Quorzel types at most 100,000"},
        {"DictationToo", true, QString(100001, u'a'), "has 100,001 characters"},
        {"RepeatsBeyondTheKeyLimit", false, QString("{a 1000}").repeated(101),
         "makes 101,000 key presses; Quorzel presses at most 100,000"},
    };
    for (const auto& c : cases) {
        FakeKeySender keys;
        try {
            c.literal ? keys.typeText(c.input) : keys.pressKeys(c.input);
            EXPECT_EQ(c.why, nullptr) << c.name << ": sent";
        } catch (const KeySequenceError& e) {
            ASSERT_NE(c.why, nullptr) << c.name << ": " << e.what();
            EXPECT_NE(std::string(e.what()).find(c.why), std::string::npos) << c.name << ": " << e.what();
            EXPECT_TRUE(keys.sent.isEmpty()) << c.name;
        }
    }
}

TEST(KeySender, AStopCheckEndsALongSendWithTheStrokesBeforeItSent) {
    FakeKeySender keys;
    int asked = 0;
    EXPECT_THROW(keys.typeText("abcdef", [&] { return ++asked > 3; }), KeySendingStopped);
    EXPECT_EQ(keys.typed(), "abc");
}

} // namespace
