// What the editor does where a plain reading of its steps would lose or misplace a command: a record
// renumbered or deleted while it is being changed, a create that stores nothing, the shared script host
// across the yields, a blank phrase, a vanished plugin file and a draw that fails.

#include "tests/editor/EditorFixture.h"

#include <QTimer>

#include <gtest/gtest.h>

namespace qz::test {
namespace {

const QByteArray kStates = "Wake up|activate|At your service\r\n"
                           "Go quiet|deactivate|Standing by\r\n"
                           "Sleep now|sleep|Good night\r\n";

const QByteArray kProbe = "Sub Main\r\n  QZ.speak \"main \" & QZ.settings(1)\r\nEnd Sub\r\n";

// Stores nothing: create refuses.
const QByteArray kRefuser =
    "Sub draw\r\n  qz.create \"textinput\"\r\nEnd Sub\r\n"
    "Sub Changer\r\n  draw\r\n  textinput(0).Text = qz.settings(-2)\r\nEnd Sub\r\n"
    "Sub create\r\n  Err.Raise vbObjectError + 1, \"refuser\", \"Not today.\"\r\nEnd Sub\r\n";

// Stores whatever is in the boxes, phrase unchecked.
const QByteArray kLax = "Sub draw\r\n  qz.create \"textinput\"\r\n  textinput(1).Top = 900\r\nEnd Sub\r\n"
                        "Sub create\r\n  qz.addtobrain textinput(1).Text, \"\"\r\nEnd Sub\r\n";

// Captures sentences and says what it heard.
const QByteArray kListener =
    "Sub Main\r\n  QZ.capturesentence\r\nEnd Sub\r\n"
    "Sub capture\r\n  QZ.speak \"heard \" & QZ.capturedtext & \" for \" & QZ.settings(1)\r\n"
    "End Sub\r\n";

// Makes a path box, then fails.
const QByteArray kHalfDraw = "Sub draw\r\n  qz.create \"browsedialog\"\r\n  browsedialog(1).Top = 900\r\n"
                             "  x = 1 / 0\r\n  qz.create \"textinput\"\r\nEnd Sub\r\n";

// A row's delete button.
void deleteRecord(EditorFixture& f, int index) {
    f.form->remove_Click(index);
}

TEST(ChangeTracksTheRecord, DeletingInFrontOfItStillReplacesTheRightOne) {
    EditorFixture f(kStates + "a one|plugin|say|1\r\nb two|plugin|say|2\r\nc three|plugin|say|3\r\n");
    f.shipPlugin("say");
    f.start();
    f.form->changer_Click(5);
    deleteRecord(f, 3);
    EXPECT_EQ(f.dialog().confirmButton()->Tag(), "4"); // the tag follows the record
    f.type(design::kTextbox, 1, "three!");
    f.confirm();
    EXPECT_EQ(f.brainFile(), kStates + "b two|plugin|say|2\r\nc three|plugin|say|three!\r\n");
}

TEST(ChangeTracksTheRecord, ItsRecordDeletedConfirmingStoresAndRemovesNothing) {
    EditorFixture f(kStates + "a one|plugin|say|1\r\nb two|plugin|say|2\r\n");
    f.shipPlugin("say");
    f.start();
    f.form->changer_Click(3);
    deleteRecord(f, 3);
    f.confirm();
    EXPECT_EQ(f.brainFile(), kStates + "b two|plugin|say|2\r\na one|plugin|say|1\r\n");
}

TEST(ChangeTracksTheRecord, CreateThatStoresNothingKeepsTheOldRecordEverywhere) {
    EditorFixture f(kStates + "keep me|plugin|refuser|x\r\n");
    f.writeFile("data/refuser.qzp", kRefuser);
    f.start();
    const QByteArray before = f.brainFile();
    f.form->changer_Click(3);
    f.confirm();
    ASSERT_EQ(f.messages.texts.size(), 1);
    EXPECT_TRUE(f.messages.texts[0].contains("Not today.")) << f.messages.texts[0].toStdString();
    EXPECT_TRUE(f.editor.isOpen());
    EXPECT_EQ(f.form->brainlist().record(3), "keep me|plugin|refuser|x");
    EXPECT_EQ(f.brainFile(), before);
    EXPECT_TRUE(f.recognizer.activePhrases().contains("keep me"));
    // Closing afterwards changes nothing either.
    f.dialog().close();
    QCoreApplication::processEvents();
    EXPECT_FALSE(f.editor.isOpen());
    EXPECT_EQ(f.form->brainlist().count(), 4);
}

TEST(SharedScriptHost, CommandHeardDuringTheYieldsWaitsForTheProcedure) {
    struct Case {
        const char* name;
        bool confirm; // heard while confirming instead of while opening
    };
    for (const Case& c : {Case{"Opening", false}, Case{"Confirming", true}}) {
        EditorFixture f(kStates + "Run probe|plugin|probe|first\r\n");
        f.writeFile("data/probe.qzp", kProbe);
        f.shipPlugin("say");
        f.start();
        f.form->state().activate();
        if (c.confirm) {
            f.form->pluginmenu_Click("say");
            f.type(design::kTextbox, 0, "hello");
            f.type(design::kTextbox, 1, "Hi there");
        }
        // Heard at the first yield of the run.
        QTimer::singleShot(0, [&] { EXPECT_TRUE(f.recognizer.say("Run probe")) << c.name; });
        if (c.confirm)
            f.confirm();
        else
            f.form->pluginmenu_Click("say");
        EXPECT_TRUE(f.messages.texts.isEmpty()) << c.name << f.messages.texts.join("\n").toStdString();
        EXPECT_TRUE(f.synthesizer.log().contains("[speak flags=1] main first")) << c.name;
        if (c.confirm) {
            EXPECT_EQ(f.form->brainlist().record(4), "hello|plugin|say|Hi there") << c.name;
        } else {
            EXPECT_EQ(f.field(design::kLabelthing, 1)->text(), "Quorzel answers:") << c.name;
        }
    }
}

TEST(SharedScriptHost, RecordHeardIsTheOneMeantEvenIfTheListChangesBeforeItActs) {
    EditorFixture f(kStates + "a one|plugin|say|1\r\nRun other|plugin|probe|second\r\n");
    f.writeFile("data/probe.qzp", kProbe);
    f.shipPlugin("say");
    f.start();
    f.form->state().activate();
    f.form->changer_Click(3);
    // "Run other" is index 4 when heard; the confirmed change moves it to 3 before it acts.
    QTimer::singleShot(0, [&] { f.recognizer.say("Run other"); });
    f.confirm();
    EXPECT_EQ(f.form->brainlist().record(3), "Run other|plugin|probe|second");
    EXPECT_TRUE(f.synthesizer.log().contains("[speak flags=1] main second"))
        << f.synthesizer.log().join("\n").toStdString();
}

TEST(SharedScriptHost, CaptureAfterASettingsRunReachesThePluginThatAskedForIt) {
    EditorFixture f(kStates + "Listen here|plugin|listener|mine\r\n");
    f.writeFile("data/listener.qzp", kListener);
    f.shipPlugin("say");
    f.start();
    f.form->state().activate();
    f.recognizer.say("Listen here");
    f.form->pluginmenu_Click("say");
    f.recognizer.say("hello there");
    EXPECT_TRUE(f.messages.texts.isEmpty()) << f.messages.texts.join("\n").toStdString();
    EXPECT_TRUE(f.synthesizer.log().contains("[speak flags=1] heard hello there for mine"))
        << f.synthesizer.log().join("\n").toStdString();
}

TEST(BlankPhrase, IsRefusedWithTheReasonAndTheDialogStays) {
    for (const QString& phrase : {QString(), QString("   ")}) {
        EditorFixture f;
        f.writeFile("data/lax.qzp", kLax);
        f.start();
        f.form->pluginmenu_Click("lax");
        f.type(design::kTextbox, 0, phrase);
        f.type(design::kTextbox, 1, "value");
        f.confirm();
        ASSERT_EQ(f.messages.texts.size(), 1);
        EXPECT_TRUE(f.messages.texts[0].contains("activation phrase")) << f.messages.texts[0].toStdString();
        EXPECT_EQ(f.log.lines.filter("message").join(","), "message Script Error");
        EXPECT_TRUE(f.editor.isOpen());
        EXPECT_EQ(f.form->brainlist().count(), 3);
        EXPECT_EQ(f.brainFile(), kStates);
    }
}

TEST(MissingPlugin, OneMessageNamingTheFileAndNothingChanges) {
    struct Case {
        const char* name;
        QByteArray brain;
        int change;        // the record changed, or -1 to confirm a new command
        const char* named; // in the message
    };
    const Case cases[] = {
        {"ConfirmAfterTheFileWent", kStates, -1, "data/say.qzp"},
        {"ChangeOfAPluginThatIsGone", kStates + "lost one|plugin|gone|1\r\n", 3, "data/gone.qzp"},
        {"ChangeOfARecordTooShort", kStates + "short one|plugin\r\n", 3, "data/brain.qzb"},
        {"ChangeBeyondTheList", kStates, 9, "data/brain.qzb"},
    };
    for (const Case& c : cases) {
        EditorFixture f(c.brain);
        f.shipPlugin("say");
        f.start();
        const QByteArray before = f.brainFile();
        if (c.change < 0) {
            f.form->pluginmenu_Click("say");
            f.type(design::kTextbox, 0, "hello");
            f.type(design::kTextbox, 1, "Hi");
            QFile::remove(f.dir.filePath("data/say.qzp"));
            f.confirm();
            EXPECT_TRUE(f.editor.isOpen()) << c.name;
        } else {
            f.form->changer_Click(c.change);
            EXPECT_FALSE(f.editor.isOpen()) << c.name;
        }
        ASSERT_EQ(f.messages.texts.size(), 1) << c.name;
        EXPECT_TRUE(f.messages.texts[0].contains(f.dir.filePath(c.named)))
            << c.name << " " << f.messages.texts[0].toStdString();
        EXPECT_EQ(f.brainFile(), before) << c.name;
        EXPECT_EQ(f.form->brainlist().count(), before.count("\r\n")) << c.name;
    }
}

TEST(FailingDraw, ShowsTheErrorAndKeepsWhatItMadeWithItsBrowse) {
    EditorFixture f;
    f.writeFile("data/halfdraw.qzp", kHalfDraw);
    f.start();
    f.form->pluginmenu_Click("halfdraw");
    ASSERT_EQ(f.messages.texts.size(), 1);
    EXPECT_EQ(f.log.lines.filter("message").join(","), "message Script Error");
    ASSERT_TRUE(f.editor.isOpen());
    EXPECT_TRUE(f.dialog().isVisible());
    EXPECT_EQ(f.upperBound(design::kPathBox), 1);
    EXPECT_EQ(f.upperBound(design::kTextbox), 0);
    ASSERT_EQ(f.upperBound(design::kBrowseButton), 1);
    EXPECT_EQ(f.field(design::kBrowseButton, 1)->Top(), 900);
}

TEST(DeleteRenumbers, FormerRecordFourIsHeardAsIndexThree) {
    EditorFixture f(kStates + "Run probe|plugin|probe|first\r\nRun other|plugin|probe|second\r\n");
    f.writeFile("data/probe.qzp", kProbe);
    f.start();
    f.form->state().activate();
    deleteRecord(f, 3);
    EXPECT_EQ(f.brainFile(), kStates + "Run other|plugin|probe|second\r\n");
    f.recognizer.say("Run other");
    EXPECT_EQ(f.form->lastpluginrecord, "Run other|plugin|probe|second");
    EXPECT_TRUE(f.synthesizer.log().contains("[speak flags=1] main second"));
    EXPECT_FALSE(f.recognizer.say("Run probe"));
}

} // namespace
} // namespace qz::test
