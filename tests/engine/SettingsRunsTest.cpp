// The order of the settings runs' steps, seen through a logging editor: what the plugin's top-level code,
// its procedure and the editor see, and when.

#include "tests/engine/EngineFixture.h"

#include <gtest/gtest.h>

namespace qz::test {
namespace {

const QByteArray kBrain = "Wake up|activate|At your service\r\n"
                          "Go quiet|deactivate|Standing by\r\n"
                          "Sleep now|sleep|Good night\r\n"
                          "Greet me|plugin|noisy|hello\r\n";

// Its top-level code speaks at every load; each procedure says what it sees.
const QByteArray kNoisy =
    "speak \"loaded\"\r\n"
    "Sub draw\r\n  qz.create \"textinput\"\r\nEnd Sub\r\n"
    "Sub Changer\r\n  speak \"changing \" & qz.settings(1)\r\n  qz.create \"browsedialog\"\r\n"
    "End Sub\r\n"
    "Sub create\r\n  speak \"creating\"\r\nEnd Sub\r\n";

TEST(SettingsRuns, StepsInTheirOrder) {
    struct Case {
        const char* name;
        std::function<void(EngineFixture&)> act;
        QStringList steps;
    };
    const Case cases[] = {
        {"NewCommand",
         [](EngineFixture& f) { f.form->pluginmenu_Click("noisy"); },
         {"clear editor", "speak flags=1 \"loaded\"", "show editor", "create textinput", "attach Browse"}},
        {"Change",
         [](EngineFixture& f) { f.form->changethesetting(3); },
         {"clear editor", "speak flags=1 \"loaded\"", "show editor", "speak flags=1 \"changing hello\"",
          "create browsedialog", "attach Browse"}},
        {"Confirm",
         [](EngineFixture& f) {
             f.editor.open = true;
             f.editor.plugin = "noisy";
             f.form->addtobrain_Click();
         },
         {"speak flags=1 \"loaded\"", "speak flags=1 \"creating\""}},
    };
    for (const Case& c : cases) {
        EngineFixture f(kBrain);
        f.writeFile("data/noisy.qzp", kNoisy);
        f.start();
        c.act(f);
        EXPECT_EQ(f.log.lines, c.steps) << c.name;
        EXPECT_TRUE(f.messages.texts.isEmpty()) << c.name;
    }
}

TEST(SettingsRuns, ChangeModeStateAndWhatANewCommandLeavesAlone) {
    EngineFixture f(kBrain);
    f.writeFile("data/noisy.qzp", kNoisy);
    f.start();
    f.form->changethesetting(3);
    EXPECT_EQ(f.editor.plugin, "noisy");
    EXPECT_EQ(f.editor.caption, "Change");
    EXPECT_EQ(f.editor.tag, "3");
    EXPECT_EQ(f.form->pluginrecord, "Greet me|plugin|noisy|hello");
    // A new command's opening leaves pluginrecord as it was.
    f.form->pluginmenu_Click("noisy");
    EXPECT_EQ(f.editor.caption, "Create");
    EXPECT_EQ(f.editor.tag, "");
    EXPECT_EQ(f.form->pluginrecord, "Greet me|plugin|noisy|hello");
}

} // namespace
} // namespace qz::test
