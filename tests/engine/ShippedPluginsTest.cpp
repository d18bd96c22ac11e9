// The plugins that come with the program, run by the real interpreter against fake desktop services.

#include "tests/engine/EngineFixture.h"

#include <QDir>

#include <gtest/gtest.h>

namespace qz::test {
namespace {

class ShippedPlugin : public testing::Test {
protected:
    void SetUp() override {
        const QDir content(QStringLiteral(QZ_CONTENT_DIR "/data"));
        for (const QString& name : content.entryList({"*.qzp"}))
            ASSERT_TRUE(QFile::copy(content.filePath(name), f.dir.filePath("data/" + name)))
                << name.toStdString();
        f.start();
        f.form->state().activate();
    }
    // Runs the record's plugin as a spoken command would.
    void run(const QString& record) {
        f.form->brainlist().append(record);
        f.form->RebuildGrammar();
        ASSERT_TRUE(f.recognizer.say(record.section('|', 0, 0)));
        EXPECT_TRUE(f.messages.texts.isEmpty()) << f.messages.texts.join("\n").toStdString();
    }
    EngineFixture f{""};
};

TEST_F(ShippedPlugin, SaySpeaksItsReply) {
    run("say hello|plugin|say|Hello %7C there");
    EXPECT_EQ(f.synthesizer.log(), QStringList{"[speak flags=1] Hello | there"});
}

TEST_F(ShippedPlugin, KeysPressesItsSequence) {
    run("close it|plugin|keys|%{F4}");
    EXPECT_EQ(f.keys.typed(), "[Alt+F4]");
}

TEST_F(ShippedPlugin, RunprogramRunsACommandLineOrOpensAFile) {
    run("open notes|plugin|runprogram|gedit notes.txt");
    EXPECT_EQ(f.launcher.started, QStringList{"gedit notes.txt"});
    run("open report|plugin|runprogram|/home/me/report.odt|open");
    EXPECT_EQ(f.opener.opened, QStringList{"/home/me/report.odt"});
}

TEST_F(ShippedPlugin, ReadselectionSpeaksTheSelectionOrItsMessage) {
    f.keys.onSend = [&](const KeyStrokes&) { f.clipboard.setText("selected words"); };
    run("read this|plugin|readselection|Nothing is selected");
    EXPECT_EQ(f.synthesizer.log(), QStringList{"[speak flags=1] selected words"});
}

TEST_F(ShippedPlugin, TimeSaysTheTime) {
    run("what time is it|plugin|time|The time is|24");
    ASSERT_EQ(f.synthesizer.log().size(), 1);
    EXPECT_TRUE(f.synthesizer.log()[0].startsWith("[speak flags=1] The time is "))
        << f.synthesizer.log()[0].toStdString();
}

TEST_F(ShippedPlugin, RepeatRunsTheLastPluginCommandAgain) {
    run("say hello|plugin|say|Hello");
    f.finishSpeech();
    f.synthesizer.clearLog();
    f.form->brainlist().append("again|repeat|repeat|Nothing to repeat");
    f.form->RebuildGrammar();
    f.recognizer.say("again");
    EXPECT_EQ(f.synthesizer.log(), QStringList{"[speak flags=1] Hello"});
}

TEST_F(ShippedPlugin, DictationTypesSentencesUntilItsStopPhrase) {
    run("take dictation|plugin|dictation|stop dictation|Dictation stopped");
    EXPECT_EQ(f.form->state().dictationmode(), "capturesentence");
    // The stop phrase and the command's own phrase are listened for whole beside dictation.
    EXPECT_EQ(f.recognizer.activePhrases(), (QStringList{"stop dictation", "take dictation"}));
    EXPECT_TRUE(f.recognizer.isDictating());
    f.recognizer.say("hello world");
    f.recognizer.say("a+b");
    EXPECT_EQ(f.keys.typed(), "hello world a+b ");
    f.recognizer.say("stop dictation");
    EXPECT_TRUE(f.form->state().dictationmode().isEmpty());
    EXPECT_EQ(f.synthesizer.log(), QStringList{"[speak flags=1] Dictation stopped"});
    // Stopped from inside its own recognition event, the program hears commands again.
    f.finishSpeech();
    f.synthesizer.clearLog();
    f.form->brainlist().append("greet me|plugin|say|Hello");
    f.form->RebuildGrammar();
    ASSERT_TRUE(f.recognizer.say("greet me"));
    EXPECT_EQ(f.synthesizer.log(), QStringList{"[speak flags=1] Hello"});
    EXPECT_EQ(f.keys.typed(), "hello world a+b ");
}

} // namespace
} // namespace qz::test
