#include "tests/engine/EngineFixture.h"

#include "platform/speech/SpeechVoice.h"
#include "tests/support/SmallDisk.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace qz::test {
namespace {

TEST(Startup, RunsItsStepsInOrder) {
    const QByteArray head = "robot\r\n";
    EngineFixture f(EngineFixture().readFile("data/brain.qzb"), &head);
    f.form->Form_Load();
    const QStringList expected = {
        "changehead robot",   "rows 3",
        "recogniser listens", // the command grammar, committed and active
        "GetVoices",          "AddTrayIcon Quorzel",
        "fillmenus",
    };
    EXPECT_EQ(f.log.lines, expected);
}

TEST(Startup, LeavesTheControllerAwakeHiddenAndNotListening) {
    EngineFixture f;
    f.form->Form_Load();
    Form1& form = *f.form;
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(form.state().voiceidle());
    EXPECT_FALSE(form.state().asleep());
    EXPECT_FALSE(form.state().listening());
    EXPECT_TRUE(form.state().dictationmode().isEmpty());
    EXPECT_EQ(form.brainlist().count(), 3);
    EXPECT_EQ(form.windowTitle(), "Quorzel 4 BETA");
    EXPECT_EQ(form.stat()->text(), "Not listening");
    EXPECT_EQ(form.Label1()->text(), "Current: Voice commands");
    EXPECT_EQ(form.voice()->voice(), f.synthesizer.voices().at(1)); // start-up takes voice 1
    EXPECT_EQ(f.recognizer.activePhrases(), (QStringList{"Wake up", "Go quiet", "Sleep now"}));
    // The refresh rewrote the file with CR LF after every record.
    EXPECT_EQ(f.readFile("data/brain.qzb"),
              QByteArray("Wake up|activate|At your service\r\nGo quiet|deactivate|Standing by\r\n"
                         "Sleep now|sleep|Good night\r\n"));
}

TEST(Startup, CurrentHeadFileChoosesTheHead) {
    struct Case {
        const char* name;
        std::optional<QByteArray> file;
        QString expected; // empty: no head is loaded
    };
    const Case cases[] = {
        {"none", QByteArray("none\r\n"), ""},
        {"missing file", std::nullopt, ""},
        {"empty file", QByteArray(""), ""},
        {"other case is a name", QByteArray("None\r\n"), "changehead None"},
        {"trailing blank is a name", QByteArray("none \r\n"), "changehead none "},
        {"first line only", QByteArray("robot\r\nother\r\n"), "changehead robot"},
    };
    for (const Case& c : cases) {
        EngineFixture f("", c.file ? &*c.file : nullptr);
        f.form->Form_Load();
        const QStringList heads = f.log.lines.filter("changehead");
        EXPECT_EQ(heads.join(","), c.expected) << c.name;
    }
}

TEST(Startup, EmptyOrMissingCommandFileGivesAnEmptyListAndAnEmptyRule) {
    for (bool exists : {true, false}) {
        EngineFixture f("");
        if (!exists) QFile::remove(f.dir.filePath("data/brain.qzb"));
        f.form->Form_Load();
        EXPECT_EQ(f.form->brainlist().count(), 0);
        EXPECT_TRUE(f.recognizer.activePhrases().isEmpty());
        EXPECT_TRUE(f.messages.texts.isEmpty());
        EXPECT_EQ(f.readFile("data/brain.qzb"), QByteArray()); // created by the first save
    }
}

TEST(Startup, UnreadableCommandFileIsReportedOnceAndKeptWhole) {
    EngineFixture f;
    // A folder where the file should be cannot be read by anyone, root included.
    QFile::remove(f.dir.filePath("data/brain.qzb"));
    QDir(f.dir.path()).mkpath("data/brain.qzb");
    f.form->Form_Load();
    ASSERT_EQ(f.messages.texts.size(), 1);
    EXPECT_TRUE(f.messages.texts[0].contains(f.dir.filePath("data/brain.qzb")));
    EXPECT_EQ(f.form->brainlist().count(), 0);
    f.editor.open = true;
    f.editor.plugin = "say";
    f.editor.phraseText = "hello";
    f.form->addtobrain("hi", "");
    EXPECT_EQ(f.messages.texts.size(), 1); // no second box for the skipped saves
    EXPECT_TRUE(QFileInfo(f.dir.filePath("data/brain.qzb")).isDir());
}

TEST(Startup, LinesAppendedWithLfAloneAreCommandsOfTheirOwn) {
    // A file from the original program, and two commands added with `echo >>`.
    EngineFixture f("Wake up|activate|At your service\r\nGo quiet|deactivate|Standing by\r\n"
                    "Sleep now|sleep|Good night\r\nopen mail|plugin|say|mail\nopen web|plugin|say|web\n");
    f.form->Form_Load();
    EXPECT_EQ(f.form->brainlist().count(), 5);
    EXPECT_EQ(f.recognizer.activePhrases(),
              (QStringList{"Wake up", "Go quiet", "Sleep now", "open mail", "open web"}));
    EXPECT_TRUE(f.messages.texts.isEmpty());
}

TEST(Startup, ACommandFileThatIsNotTextIsToldOnceAndNeverWritten) {
    const QByteArray binary("GIF89a\x01\0\x01\0\x80\0\0", 13);
    EngineFixture f(binary);
    f.form->Form_Load();
    ASSERT_EQ(f.messages.texts.size(), 1);
    EXPECT_TRUE(f.messages.texts[0].contains(f.dir.filePath("data/brain.qzb")));
    EXPECT_TRUE(f.messages.texts[0].contains("not a text file")) << f.messages.texts[0].toStdString();
    EXPECT_EQ(f.form->brainlist().count(), 0);
    f.editor.open = true;
    f.editor.plugin = "say";
    f.editor.phraseText = "hello";
    f.form->addtobrain("hi", "");
    EXPECT_EQ(f.messages.texts.size(), 1);
    EXPECT_EQ(f.readFile("data/brain.qzb"), binary);
}

TEST(Startup, OnAFullDiskStartUpSaysNothingAndAFailedSaveSaysTheDiskIsFull) {
    EngineFixture f;
    const QByteArray brain = f.readFile("data/brain.qzb");
    test::SmallDisk disk(f.dir.filePath("data"), 16 * 1024);
    if (!disk.mounted()) GTEST_SKIP() << disk.whyNot().toStdString();
    f.writeFile("data/brain.qzb", brain);
    disk.fill();
    f.form->Form_Load();
    EXPECT_TRUE(f.messages.texts.isEmpty());
    EXPECT_EQ(f.readFile("data/brain.qzb"), brain);

    f.editor.open = true;
    f.editor.plugin = "say";
    f.editor.phraseText = "hello";
    f.form->addtobrain("hi", "");
    ASSERT_EQ(f.messages.texts.size(), 1);
    EXPECT_TRUE(f.messages.texts[0].contains("The disk is full.")) << f.messages.texts[0].toStdString();
    EXPECT_EQ(f.readFile("data/brain.qzb"), brain);
    EXPECT_EQ(f.form->brainlist().count(), 4); // kept while the program runs
    EXPECT_EQ(f.recognizer.activePhrases().size(), 4);
}

TEST(Startup, WithoutRecogniserOrVoiceTheProgramStillStarts) {
    EngineFixture f;
    Form1Services services;
    services.programFolder = ProgramFolder(f.dir.path());
    services.messages = &f.messages;
    Form1 form(services);
    form.Form_Load();
    EXPECT_EQ(form.stat()->text(), "Speech recognition is not available");
    EXPECT_EQ(form.voice(), nullptr);
    EXPECT_EQ(form.brainlist().count(), 3);
}

TEST(Startup, MenusHandedInAreOnTheMenuBarInOrder) {
    EngineFixture f;
    QMenu add("Add command");
    QMenu options("Options");
    Form1Services services;
    services.programFolder = ProgramFolder(f.dir.path());
    services.messages = &f.messages;
    services.menuBar = {&add, &options};
    Form1 form(services);
    QStringList titles;
    for (QAction* a : form.menuBar()->actions())
        titles << a->text();
    EXPECT_EQ(titles, (QStringList{"Add command", "Options"}));
    EXPECT_EQ(f.form->findChildren<QMenuBar*>().size(), 0); // none handed in: no menu bar
}

TEST(Shutdown, QuitRunsItsStepsInOrder) {
    EngineFixture f;
    f.start();
    f.form->speak("still talking");
    f.form->mnuQuit_Click();
    const QStringList expected = {
        "speak flags=1 \"still talking\"",
        "speak flags=0 \"\"", // waits for what is still queued
        "unload editor",
        "RemoveTrayIcon",
        "end program",
    };
    EXPECT_EQ(f.log.lines.filter(QRegularExpression("^(speak|unload|Remove|end)")), expected);
    EXPECT_EQ(f.synthesizer.pendingCount(), 0);
}

TEST(Shutdown, ClosingTheWindowOnlyHidesIt) {
    EngineFixture f;
    f.start();
    f.form->mnuBrain_Click();
    EXPECT_TRUE(f.form->isVisible());
    EXPECT_FALSE(f.form->close());
    EXPECT_FALSE(f.form->isVisible());
    EXPECT_TRUE(f.log.lines.filter("end program").isEmpty());
}

} // namespace
} // namespace qz::test
