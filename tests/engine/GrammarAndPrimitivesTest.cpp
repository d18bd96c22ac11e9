#include "engine/CommandGrammar.h"
#include "platform/desktop/DesktopError.h"
#include "platform/speech/RecoGrammar.h"
#include "platform/speech/SpeechVoice.h"
#include "store/CommandRecord.h"
#include "tests/engine/EngineFixture.h"

#include "vbscript/ScriptError.h"

#include <gtest/gtest.h>

namespace qz::test {
namespace {

TEST(Grammar, RebuildFollowsTheListAndRenumbers) {
    EngineFixture f(
        "r0|activate|a\r\nr1|deactivate|b\r\nr2|sleep|c\r\nr3|plugin|say|x\r\nr4|plugin|say|y\r\n");
    f.start();
    f.form->brainlist().remove(3);
    f.form->RebuildGrammar();
    EXPECT_EQ(f.recognizer.activePhrases(), (QStringList{"r0", "r1", "r2", "r4"}));
    f.form->state().activate();
    f.writeFile("data/say.qzp", "Sub Main\r\n speak settings(1)\r\nEnd Sub\r\n");
    f.recognizer.say("r4");
    EXPECT_EQ(f.synthesizer.log(), QStringList{"[speak flags=1] y"}); // r4 is now index 3
}

TEST(Grammar, LongListsAndLongPhrasesAreLeftOutOfTheGrammarAndToldOnce) {
    // 40,000 commands, beyond the 16-bit indexes of old and beyond what the grammar takes; one phrase of
    // 501 characters among them.
    QByteArray brain = "a|activate|yes\r\n";
    for (int i = 1; i < 40000; ++i)
        brain += "phrase " + QByteArray::number(i) + "|plugin|say|" + QByteArray::number(i) + "\r\n";
    const QByteArray longPhrase(501, 'w');
    brain.replace("phrase 7|", longPhrase + "|");
    EngineFixture f(brain);
    f.writeFile("data/say.qzp", "Sub Main\r\n speak settings(1)\r\nEnd Sub\r\n");
    f.start();
    EXPECT_EQ(f.form->brainlist().count(), 40000);
    EXPECT_EQ(f.recognizer.activePhrases().size(), CommandGrammar::kMaxPhrases - 1);
    EXPECT_FALSE(f.recognizer.activePhrases().contains(QString(longPhrase)));
    ASSERT_EQ(f.messages.texts.size(), 2);
    EXPECT_TRUE(f.messages.texts[0].contains("holds 40,000 commands")) << f.messages.texts[0].toStdString();
    EXPECT_TRUE(f.messages.texts[0].contains("the last 30,000 commands cannot be said"));
    EXPECT_TRUE(f.messages.texts[1].contains("1 of your commands")) << f.messages.texts[1].toStdString();
    EXPECT_TRUE(f.messages.texts[1].contains("longer than 500 characters"));
    f.form->state().activate();
    f.recognizer.say("phrase 9999");
    EXPECT_EQ(f.synthesizer.log(), QStringList{"[speak flags=1] 9999"}); // ids stay the records' indexes
    f.form->RebuildGrammar();
    EXPECT_EQ(f.messages.texts.size(), 2); // once a run
    // The file keeps every command.
    EXPECT_EQ(f.readFile("data/brain.qzb"), brain);
}

TEST(Primitives, SettingsRoundsHalvesToEvenAndFailsBeyondTheRecord) {
    EngineFixture f;
    f.start();
    f.form->pluginrecord = "the phrase|plugin|probe|first|second";
    struct Case {
        float n;
        const char* expected; // nullptr: an error
    };
    const Case cases[] = {{-2, "the phrase"}, {-1, "plugin"},  {0, "probe"},     {1, "first"},
                          {2, "second"},      {0.5f, "probe"}, {1.5f, "second"}, {-2.5f, "the phrase"},
                          {2.4f, "second"},   {3, nullptr},    {-3, nullptr},    {2.5f, "second"}};
    for (const Case& c : cases) {
        float n = c.n;
        if (c.expected) {
            EXPECT_EQ(f.form->settings(n), c.expected) << c.n;
        } else {
            try {
                f.form->settings(n);
                ADD_FAILURE() << "no error for " << c.n;
            } catch (const vbscript::ScriptError& e) {
                EXPECT_EQ(e.number, 9);
            }
        }
        EXPECT_EQ(n, c.n); // settings never changes its argument
    }
}

TEST(Primitives, SettingsBeyondTheRecordOrBeyondLongAreErrorsTheScriptCanCatch) {
    EngineFixture f("go|plugin|probe|first|second\r\n");
    f.writeFile("data/probe.qzp", "Sub Main\r\n"
                                  "  On Error Resume Next\r\n"
                                  "  For Each n In Array(99999, 2.6, -40000, 1E+10, -3E+9, 2147483647)\r\n"
                                  "    Err.Clear : x = settings(n)\r\n"
                                  "    speak Err.Number & \" \" & Err.Description\r\n"
                                  "  Next\r\n"
                                  "End Sub\r\n");
    f.start();
    f.form->state().activate();
    f.recognizer.say("go");
    EXPECT_EQ(f.synthesizer.log(),
              (QStringList{"[speak flags=1] 9 Subscript out of range: the command has no setting 99999",
                           "[speak flags=1] 9 Subscript out of range: the command has no setting 2.6",
                           "[speak flags=1] 9 Subscript out of range: the command has no setting -40000",
                           "[speak flags=1] 6 Overflow", "[speak flags=1] 6 Overflow",
                           // As a single-precision number it is 2^31, beyond Long.
                           "[speak flags=1] 6 Overflow"}));
}

TEST(Primitives, PresskeysRefusesTextBeyondTheLimitWithAnErrorThatSaysWhy) {
    EngineFixture f("go|plugin|probe|x\r\n");
    f.writeFile("data/probe.qzp", "Sub Main\r\n"
                                  "  On Error Resume Next\r\n"
                                  "  presskeys String(100001, \"a\")\r\n"
                                  "  speak Err.Number & \" \" & Err.Description\r\n"
                                  "End Sub\r\n");
    f.start();
    f.form->state().activate();
    f.recognizer.say("go");
    EXPECT_EQ(f.synthesizer.log(), QStringList{"[speak flags=1] 5 The text to type has 100,001 characters; "
                                               "Quorzel types at most 100,000 in one call"});
    EXPECT_TRUE(f.keys.sent.isEmpty());
}

TEST(Primitives, SetvoiceClampsAndWritesBack) {
    EngineFixture f;
    f.start();
    const auto voices = f.synthesizer.voices();
    struct Case {
        float n;
        float after;
        int voice;
    };
    for (const Case& c :
         {Case{5, 1, 1}, Case{2, 2, 2}, Case{0, 0, 0}, Case{1.5f, 1.5f, 2}, Case{2.5f, 1, 1}}) {
        float n = c.n;
        f.form->setvoice(n);
        EXPECT_EQ(n, c.after);
        EXPECT_EQ(f.form->voice()->voice(), voices.at(c.voice)) << c.n;
    }
    float negative = -1;
    EXPECT_THROW(f.form->setvoice(negative), vbscript::ScriptError);
}

TEST(Primitives, ScriptsSeeByRefWriteBackAndPrimitiveErrors) {
    EngineFixture f("go|plugin|probe|x\r\n");
    f.writeFile("data/probe.qzp", "Sub Main\r\n"
                                  "  n = 5 : setvoice n : speak \"n=\" & n\r\n"
                                  "  On Error Resume Next\r\n"
                                  "  cmd \"no-such-program-here --flag\"\r\n"
                                  "  speak \"cmd error \" & Err.Number : Err.Clear\r\n"
                                  "  presskeys \"{NOSUCHKEY}\"\r\n"
                                  "  speak \"keys error \" & Err.Number : Err.Clear\r\n"
                                  "  x = settings(7)\r\n"
                                  "  speak \"settings error \" & Err.Number\r\n"
                                  "End Sub\r\n");
    f.launcher.missingPrograms << "no-such-program-here";
    f.start();
    f.form->state().activate();
    f.recognizer.say("go");
    // "[purge]": the voice that setvoice replaced stops.
    EXPECT_EQ(f.synthesizer.log(),
              (QStringList{"[purge]", "[speak flags=1] n=1", "[speak flags=1] cmd error 53",
                           "[speak flags=1] keys error 5", "[speak flags=1] settings error 9"}));
}

TEST(Primitives, KeysProgramsAndDocuments) {
    EngineFixture f;
    f.start();
    f.form->presskeys("^c{LEFT 2}");
    EXPECT_EQ(f.keys.typed(), "[Ctrl+c][Left][Left]");
    f.form->cmd("gedit \"my notes.txt\"");
    EXPECT_EQ(f.launcher.started, QStringList{"gedit \"my notes.txt\""});
    f.opener.result = false; // a failure to open is ignored
    EXPECT_NO_THROW(f.form->openfile("/no/such/file"));
    EXPECT_EQ(f.opener.opened, QStringList{"/no/such/file"});
}

TEST(Primitives, GetsellectedIsWhatWasCopiedOrSelectedNeverTheOldClipboard) {
    EngineFixture f;
    f.start();
    f.clipboard.setText("old text");
    EXPECT_EQ(f.form->getsellected(), ""); // nothing answered the copy and nothing is selected
    EXPECT_EQ(f.keys.typed(), "[Ctrl+c]");
    f.clipboard.selectionText = "marked in a terminal";
    EXPECT_EQ(f.form->getsellected(), "marked in a terminal");
    EXPECT_EQ(f.clipboard.text(), "old text") << "the user's clipboard is left alone";
    f.keys.onSend = [&](const KeyStrokes&) { f.clipboard.setText("the selection"); };
    EXPECT_EQ(f.form->getsellected(), "the selection");
}

TEST(VoiceEvents, DriveTheHeadTheIdleFlagAndANewGrammar) {
    EngineFixture f;
    f.start();
    RecoContext* before = f.form->recoContext();
    f.form->speak("hello");
    EXPECT_TRUE(f.form->state().voiceidle()); // queued, not yet playing
    f.synthesizer.startNext();
    EXPECT_FALSE(f.form->state().voiceidle());
    EXPECT_TRUE(f.recognizer.ownVoiceSounding()) << "the program must not hear itself";
    EXPECT_EQ(f.log.lines, (QStringList{"speak flags=1 \"hello\"", "animate off", "talktimer on"}));
    f.log.lines.clear();
    f.synthesizer.finishCurrent();
    EXPECT_TRUE(f.form->state().voiceidle());
    EXPECT_FALSE(f.recognizer.ownVoiceSounding());
    EXPECT_EQ(f.log.lines, (QStringList{"talktimer off", "rest frame", "animate on", "recogniser listens"}));
    EXPECT_NE(f.form->recoContext(), before);
}

TEST(VoiceEvents, LostRecogniserIsShownAndRetriedAtTheNextEndOfSpeech) {
    EngineFixture f;
    f.start();
    f.recognizer.setRefuseGrammars(true);
    f.form->speak("one");
    f.finishSpeech();
    EXPECT_TRUE(f.form->stat()->text().contains("refused")) << f.form->stat()->text().toStdString();
    f.recognizer.setRefuseGrammars(false);
    f.form->speak("two");
    f.finishSpeech();
    EXPECT_EQ(f.form->stat()->text(), "Not listening");
    EXPECT_EQ(f.recognizer.activePhrases().size(), 3);
}

TEST(VoiceEvents, EndOfSpeechBringsBackCommandsWhileTheModeStays) {
    EngineFixture f;
    f.start();
    f.form->Startdictation();
    f.form->speak("typing now");
    f.finishSpeech();
    EXPECT_FALSE(f.recognizer.isDictating());
    EXPECT_EQ(f.form->state().dictationmode(), "dictating");
}

TEST(AddToBrain, StoresFromTheEditorOrRefuses) {
    struct Case {
        const char* name;
        bool editorOpen;
        QString phrase, settings, plugin;
        QString stored; // empty: refused
    };
    const Case cases[] = {
        {"PluginArgument", true, "say hi", "Hello", "say", "say hi|plugin|say|Hello"},
        {"EmptyPluginIsTheOpenEditors", true, "say hi", "Hello", "", "say hi|plugin|keys|Hello"},
        {"RepeatMarker", true, "again", "Nothing yet|1337-REPEATCODE", "", "again|repeat|keys|Nothing yet"},
        // A command without words would match any noise: a closed editor's empty phrase, or a blank one.
        {"ClosedEditorsEmptyPhraseRefused", false, "ignored", "x", "", ""},
        {"BlankPhraseRefused", true, " \t ", "x", "", ""},
        {"BarInPhraseRefused", true, "a|b", "x", "", ""},
        {"LineBreakInSettingsRefused", true, "ok", "a\nb", "", ""},
    };
    for (const Case& c : cases) {
        EngineFixture f;
        f.start();
        f.editor.open = c.editorOpen;
        f.editor.plugin = "keys";
        f.editor.phraseText = c.phrase;
        if (c.stored.isEmpty()) {
            EXPECT_THROW(f.form->addtobrain(c.settings, c.plugin), InvalidRecord) << c.name;
            EXPECT_EQ(f.form->brainlist().count(), 3) << c.name;
            EXPECT_EQ(f.editor.open, c.editorOpen) << c.name;
            continue;
        }
        f.form->addtobrain(c.settings, c.plugin);
        EXPECT_EQ(f.form->brainlist().record(3), c.stored) << c.name;
        EXPECT_FALSE(f.editor.open) << c.name;
        EXPECT_TRUE(f.readFile("data/brain.qzb").endsWith(c.stored.toUtf8() + "\r\n")) << c.name;
        EXPECT_EQ(f.recognizer.activePhrases().size(), 4) << c.name;
    }
}

} // namespace
} // namespace qz::test
