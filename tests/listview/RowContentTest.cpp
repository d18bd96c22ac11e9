// The showing rules: what a row shows for its record and index, and the defaults a short record keeps.

#include "listview/RowContent.h"

#include <gtest/gtest.h>

namespace qz {
namespace {

using Icon = RowContent::Icon;

TEST(RowContentTest, ShowsTheRecordByTheRules) {
    struct Case {
        const char* name;
        QString record;
        int index;
        RowContent expected;
    };
    const QString fine = kDefaultAction.toString();
    const Case cases[] = {
        {"a plugin command",
         "wake me|plugin|Alarm|07:00|daily",
         3,
         {"wake me", "Alarm(07:00)", Icon::Plugin, "Alarm"}},
        {"a state command shows only its reply",
         "computer are you there|activate|I am listening",
         0,
         {"computer are you there", "I am listening", Icon::Ear, ""}},
        {"row 0 shows the ear whatever its record",
         "open mail|plugin|mail|x",
         0,
         {"open mail", "mail(x)", Icon::Ear, ""}},
        {"row 1 the deaf strip", "stop|deactivate|Bye|extra", 1, {"stop", "Bye", Icon::Deaf, ""}},
        {"row 2 the sleep strip", "nap|sleep|Night", 2, {"nap", "Night", Icon::Dissa, ""}},
        {"a state command further down takes field 2 as its icon's name",
         "again|activate|Hi",
         5,
         {"again", "Hi", Icon::Plugin, "Hi"}},
        {"a state command without its reply keeps the default",
         "again|activate",
         5,
         {"again", fine, Icon::Default, ""}},
        {"a plugin record without settings keeps the default line",
         "say hi|plugin|say",
         4,
         {"say hi", fine, Icon::Plugin, "say"}},
        {"a repeat command",
         "once more|repeat|repeat|Nothing yet",
         3,
         {"once more", "repeat(Nothing yet)", Icon::Plugin, "repeat"}},
        {"a script command", "run it|script|code", 3, {"run it", fine, Icon::Scriptia, ""}},
        {"a phrase alone", "lonely", 3, {"lonely", fine, Icon::Default, ""}},
        {"an empty record", "", 4, {"", fine, Icon::Default, ""}},
        {"empty fields stay empty", "x|plugin||", 3, {"x", "()", Icon::Plugin, ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RowContent row = rowContent(c.record, c.index);
        EXPECT_EQ(row.command.toStdString(), c.expected.command.toStdString());
        EXPECT_EQ(row.action.toStdString(), c.expected.action.toStdString());
        EXPECT_EQ(row.icon, c.expected.icon);
        EXPECT_EQ(row.plugin.toStdString(), c.expected.plugin.toStdString());
    }
}

} // namespace
} // namespace qz
