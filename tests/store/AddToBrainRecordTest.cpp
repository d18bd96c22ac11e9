#include "store/CommandRecord.h"

#include <gtest/gtest.h>

namespace qz {
namespace {

struct ComposeCase {
    const char* name;
    QString settings;
    QString expected;
};

class ComposeRecord : public testing::TestWithParam<ComposeCase> {};

TEST_P(ComposeRecord, BuildsPluginOrRepeatRecords) {
    const ComposeCase& c = GetParam();
    EXPECT_EQ(CommandRecord::compose("open the mail", c.settings, "runprogram"), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    RepeatMarker, ComposeRecord,
    testing::Values(
        ComposeCase{"PlainSettings", "/usr/bin/thunderbird",
                    "open the mail|plugin|runprogram|/usr/bin/thunderbird"},
        ComposeCase{"EmptySettingsEndInABar", "", "open the mail|plugin|runprogram|"},
        ComposeCase{"RepeatMarker", "Nothing to repeat|1337-REPEATCODE",
                    "open the mail|repeat|runprogram|Nothing to repeat"},
        ComposeCase{"MarkerWithMorePieces", "a|1337-REPEATCODE|b", "open the mail|repeat|runprogram|a"},
        ComposeCase{"MarkerWithEmptyMessage", "|1337-REPEATCODE", "open the mail|repeat|runprogram|"},
        ComposeCase{"MarkerFirstIsNotRepeat", "1337-REPEATCODE|a",
                    "open the mail|plugin|runprogram|1337-REPEATCODE|a"},
        ComposeCase{"MarkerThirdIsNotRepeat", "a|b|1337-REPEATCODE",
                    "open the mail|plugin|runprogram|a|b|1337-REPEATCODE"},
        ComposeCase{"MarkerMustBeTheWholePiece", "a|1337-REPEATCODEX",
                    "open the mail|plugin|runprogram|a|1337-REPEATCODEX"},
        ComposeCase{"MarkerIsCaseSensitive", "a|1337-repeatcode",
                    "open the mail|plugin|runprogram|a|1337-repeatcode"}),
    [](const testing::TestParamInfo<ComposeCase>& info) { return std::string(info.param.name); });

TEST(ComposeRecordRefuses, ValuesThatWouldBreakTheFileLayout) {
    struct Bad {
        QString phrase, settings, plugin;
        const char* why;
    };
    const Bad cases[] = {
        {"open|mail", "x", "say", "\"|\""},         {"open\rmail", "x", "say", "line break"},
        {"open\nmail", "x", "say", "line break"},   {"open mail", "a\r\nb", "say", "line break"},
        {"open mail", "a\nb", "say", "line break"},
    };
    for (const Bad& c : cases) {
        try {
            CommandRecord::compose(c.phrase, c.settings, c.plugin);
            ADD_FAILURE() << "accepted " << c.phrase.toStdString() << " / " << c.settings.toStdString();
        } catch (const InvalidRecord& e) {
            EXPECT_NE(std::string(e.what()).find(c.why), std::string::npos) << e.what();
        }
    }
    // A bar in the settings is the plugin's own business: it only spans more fields.
    EXPECT_EQ(CommandRecord::compose("p", "a|b", "say"), "p|plugin|say|a|b");
}

TEST(RecordField, SplitsAtEveryBar) {
    EXPECT_EQ(CommandRecord::field("a|b||d", 2), QString(""));
    EXPECT_EQ(CommandRecord::field("a|b||d", 3), QString("d"));
    EXPECT_EQ(CommandRecord::field("a|b||d", 4), std::nullopt);
    EXPECT_EQ(CommandRecord::field("", 0), QString(""));
    EXPECT_EQ(CommandRecord::field("nobar", 1), std::nullopt);
}

} // namespace
} // namespace qz
