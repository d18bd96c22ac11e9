// Creating and changing commands through the real dialog, with real plugin files and the real
// interpreter: the user's clicks and typing, then the list, the file and the grammar.

#include "tests/editor/EditorFixture.h"

#include <gtest/gtest.h>

namespace qz::test {
namespace {

const QByteArray kStates = "Wake up|activate|At your service\r\n"
                           "Go quiet|deactivate|Standing by\r\n"
                           "Sleep now|sleep|Good night\r\n";

// Eight records; 3 to 7 are say commands.
const QByteArray kEight = kStates + "one please|plugin|say|one\r\n"
                                    "two please|plugin|say|two\r\n"
                                    "three please|plugin|say|three\r\n"
                                    "four please|plugin|say|four\r\n"
                                    "five please|plugin|say|five\r\n";

// Two file fields, stored as two values.
const QByteArray kTwoFiles = "Sub draw\r\n"
                             "  qz.create \"browsedialog\"\r\n"
                             "  qz.create \"browsedialog\"\r\n"
                             "  browsedialog(1).Top = 900\r\n"
                             "  browsedialog(2).Top = 1400\r\n"
                             "End Sub\r\n"
                             "Sub Changer\r\n"
                             "  draw\r\n"
                             "  textinput(0).Text = qz.settings(-2)\r\n"
                             "End Sub\r\n"
                             "Sub create\r\n"
                             "  qz.addtobrain browsedialog(1).Text & \"|\" & browsedialog(2).Text, \"\"\r\n"
                             "End Sub\r\n";

void expectSpoken(EngineFixture& f, const QString& text) {
    EXPECT_TRUE(f.synthesizer.log().contains("[speak flags=1] " + text))
        << f.synthesizer.log().join("\n").toStdString();
}

TEST(CreateCommand, SayCommandFromTheMenuIsStoredAndHeardAtOnce) {
    EditorFixture f;
    f.shipPlugin("say");
    f.start();
    f.form->pluginmenu_Click("say");
    ASSERT_TRUE(f.editor.isOpen());
    Form2& d = f.dialog();
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.windowTitle(), "Add");
    EXPECT_EQ(d.dialogplugin, "say");
    EXPECT_EQ(d.confirmButton()->text(), "Create");
    EXPECT_EQ(f.field(design::kLabelthing, 1)->text(), "Quorzel answers:");
    EXPECT_EQ(f.upperBound(design::kBrowseButton), 0); // no path box, no Browse

    f.type(design::kTextbox, 0, "good morning");
    f.type(design::kTextbox, 1, "Morning to you | and all");
    f.confirm();
    EXPECT_TRUE(f.messages.texts.isEmpty()) << f.messages.texts.join("\n").toStdString();
    EXPECT_FALSE(f.editor.isOpen());
    EXPECT_EQ(f.brainFile(), kStates + "good morning|plugin|say|Morning to you %7C and all\r\n");
    EXPECT_TRUE(f.recognizer.activePhrases().contains("good morning"));

    f.form->state().activate();
    f.recognizer.say("good morning");
    expectSpoken(f, "Morning to you | and all");
}

TEST(ChangeCommand, IndexFiveOfEightMovesToTheEnd) {
    EditorFixture f(kEight);
    f.shipPlugin("say");
    f.start();
    f.form->changer_Click(5);
    ASSERT_TRUE(f.editor.isOpen());
    EXPECT_EQ(f.dialog().confirmButton()->text(), "Change");
    EXPECT_EQ(f.dialog().confirmButton()->Tag(), "5");
    EXPECT_EQ(f.form->pluginrecord, "three please|plugin|say|three");
    EXPECT_EQ(f.field(design::kTextbox, 0)->text(), "three please");
    EXPECT_EQ(f.field(design::kTextbox, 1)->text(), "three");

    f.type(design::kTextbox, 1, "THREE");
    f.confirm();
    EXPECT_FALSE(f.editor.isOpen());
    ASSERT_EQ(f.form->brainlist().count(), 8);
    EXPECT_EQ(f.form->brainlist().record(5), "four please|plugin|say|four");
    EXPECT_EQ(f.form->brainlist().record(7), "three please|plugin|say|THREE");
    EXPECT_EQ(f.brainFile(), kStates + "one please|plugin|say|one\r\n"
                                       "two please|plugin|say|two\r\n"
                                       "four please|plugin|say|four\r\n"
                                       "five please|plugin|say|five\r\n"
                                       "three please|plugin|say|THREE\r\n");
    f.form->state().activate();
    f.recognizer.say("three please");
    expectSpoken(f, "THREE");
}

TEST(ChangeCommand, OpeningTwiceLeavesNoFieldsOfTheFirst) {
    EditorFixture f(kStates + "open mail|plugin|runprogram|/usr/bin/mail.sh|open\r\nhello|plugin|say|Hi\r\n");
    f.shipPlugin("runprogram");
    f.shipPlugin("say");
    f.start();
    f.form->changer_Click(3);
    ASSERT_EQ(f.upperBound(design::kPathBox), 1);
    EXPECT_EQ(f.field(design::kPathBox, 1)->text(), "/usr/bin/mail.sh");
    EXPECT_EQ(f.upperBound(design::kBrowseButton), 1);
    f.form->changer_Click(4);
    EXPECT_EQ(f.dialog().dialogplugin, "say");
    EXPECT_EQ(f.upperBound(design::kPathBox), 0);
    EXPECT_EQ(f.upperBound(design::kBrowseButton), 0);
    EXPECT_EQ(f.upperBound(design::kTextbox), 1);
    EXPECT_EQ(f.upperBound(design::kLabelthing), 1);
    EXPECT_EQ(f.field(design::kTextbox, 0)->text(), "hello");
    EXPECT_EQ(f.dialog().confirmButton()->Tag(), "4");
}

TEST(ChangeCommand, TwoFileFieldsEachWithTheirOwnBrowse) {
    EditorFixture f(kStates + "play both|plugin|twofiles|a|b\r\n");
    f.writeFile("data/twofiles.qzp", kTwoFiles);
    f.start();
    f.form->changer_Click(3);
    ASSERT_EQ(f.upperBound(design::kPathBox), 2);
    ASSERT_EQ(f.upperBound(design::kBrowseButton), 2);
    for (int i : {1, 2}) {
        EXPECT_EQ(f.field(design::kPathBox, i)->Width(), 4575 - 1050 - 2);
        EXPECT_EQ(f.field(design::kBrowseButton, i)->Left(), 120 + 4575 - 1050);
        EXPECT_EQ(f.field(design::kBrowseButton, i)->Top(), f.field(design::kPathBox, i)->Top());
        EXPECT_TRUE(f.field(design::kBrowseButton, i)->widget()->isVisible());
    }
    EXPECT_FALSE(f.field(design::kBrowseButton, 0)->widget()->isVisible());
    f.files.answers = {QString("/music/second.ogg")};
    f.click(f.field(design::kBrowseButton, 2));
    EXPECT_EQ(f.field(design::kPathBox, 1)->text(), "(None)");
    EXPECT_EQ(f.field(design::kPathBox, 2)->text(), "/music/second.ogg");
    // A box whose Browse was never used still says so, and the plugin stores what it says.
    f.confirm();
    EXPECT_EQ(f.form->brainlist().record(3), "play both|plugin|twofiles|(None)|/music/second.ogg");
}

} // namespace
} // namespace qz::test
