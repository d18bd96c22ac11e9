#include "tests/engine/EngineFixture.h"

#include "vbscript/ScriptHost.h"

#include <QApplication>

#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace qz::test {
namespace {

const QByteArray kBrain = "Wake up|activate|At your service\r\n"
                          "Go quiet|deactivate|Standing by\r\n"
                          "Sleep now|sleep|Good night\r\n"
                          "Run probe|plugin|probe|first|second\r\n"
                          "Once more|repeat|probe|Nothing to repeat\r\n"
                          "Odd one|script|x\r\n"
                          "Silent wake|activate\r\n";

const QByteArray kProbePlugin = "Sub Main\r\n  speak \"main \" & settings(1)\r\nEnd Sub\r\n";

struct DispatchCase {
    const char* name;
    const char* phrase;
    bool listening, asleep, voiceidle;
    const char* spoken; // what the voice was asked to say, "" for nothing
    bool listeningAfter, asleepAfter;
    const char* stat;
};

class Dispatch : public testing::TestWithParam<DispatchCase> {};

TEST_P(Dispatch, ActsByTypeAndState) {
    const DispatchCase& c = GetParam();
    EngineFixture f(kBrain);
    f.writeFile("data/probe.qzp", kProbePlugin);
    f.start();
    ListeningState& state = f.form->state();
    if (c.asleep) state.sleep();
    if (c.listening) state.activate();
    state.setVoiceIdle(c.voiceidle);
    f.form->stat()->setText("before");
    f.recognizer.say(c.phrase);
    const QStringList spoken = f.synthesizer.log();
    EXPECT_EQ(spoken.join("|"),
              QString(c.spoken).isEmpty() ? QString() : QString("[speak flags=1] ") + c.spoken);
    EXPECT_EQ(f.form->state().listening(), c.listeningAfter);
    EXPECT_EQ(f.form->state().asleep(), c.asleepAfter);
    EXPECT_EQ(f.form->stat()->text(), c.stat);
    EXPECT_EQ(f.options.sleepEnabled, c.asleepAfter && !c.asleep);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Dispatch,
    testing::Values(
        DispatchCase{"ActivateWhileListening", "Wake up", true, false, true, "Already am sir", true, false,
                     "before"},
        DispatchCase{"Activate", "Wake up", false, false, true, "At your service", true, false,
                     "Listening..."},
        DispatchCase{"ActivateWhileAsleep", "Wake up", false, true, true, "", false, true, "before"},
        DispatchCase{"ActivateWhileSpeaking", "Wake up", false, false, false, "", false, false, "before"},
        DispatchCase{"ActivateWithoutReplyIsSilent", "Silent wake", false, false, true, "", true, false,
                     "Listening..."},
        DispatchCase{"Deactivate", "Go quiet", true, false, true, "Standing by", false, false,
                     "Not listening"},
        DispatchCase{"DeactivateWhileNotListening", "Go quiet", false, false, true, "", false, false,
                     "before"},
        DispatchCase{"DeactivateWhileSpeaking", "Go quiet", true, false, false, "", true, false, "before"},
        DispatchCase{"Sleep", "Sleep now", true, false, true, "Good night", false, true, "Sleeping..."},
        DispatchCase{"SleepWhileNotListening", "Sleep now", false, false, true, "", false, false, "before"},
        DispatchCase{"Plugin", "Run probe", true, false, true, "main first", true, false, "before"},
        DispatchCase{"PluginWhileNotListening", "Run probe", false, false, true, "", false, false, "before"},
        DispatchCase{"PluginWhileAsleep", "Run probe", false, true, true, "", false, true, "before"},
        DispatchCase{"PluginWhileSpeaking", "Run probe", true, false, false, "", true, false, "before"},
        DispatchCase{"RepeatWithNothingToRepeat", "Once more", true, false, true, "Nothing to repeat", true,
                     false, "before"},
        DispatchCase{"RepeatWhileNotListening", "Once more", false, false, true, "", false, false, "before"},
        DispatchCase{"OtherTypesDoNothing", "Odd one", true, false, true, "", true, false, "before"}),
    [](const testing::TestParamInfo<DispatchCase>& info) { return std::string(info.param.name); });

TEST(DispatchRepeat, RunsTheLastSpokenPluginWithItsRecordAsItWas) {
    EngineFixture f(kBrain);
    f.writeFile("data/probe.qzp", kProbePlugin);
    f.start();
    f.form->state().activate();
    f.recognizer.say("Run probe");
    EXPECT_EQ(f.form->lastpluginrecord, "Run probe|plugin|probe|first|second");
    f.finishSpeech();
    f.synthesizer.clearLog();
    // The command is removed afterwards: repeat still runs the record as it was.
    f.form->brainlist().remove(3);
    f.form->RebuildGrammar();
    f.recognizer.say("Once more");
    EXPECT_EQ(f.synthesizer.log(), QStringList{"[speak flags=1] main first"});
    EXPECT_EQ(f.form->lastpluginrecord, "Run probe|plugin|probe|first|second");
}

TEST(DispatchPlugin, MissingPluginFileIsReportedOnceAndNothingRuns) {
    EngineFixture f(kBrain);
    f.start();
    f.form->state().activate();
    f.form->lastpluginrecord = "earlier";
    f.recognizer.say("Run probe");
    ASSERT_EQ(f.messages.texts.size(), 1);
    EXPECT_TRUE(f.messages.texts[0].contains(f.dir.filePath("data/probe.qzp")));
    EXPECT_EQ(f.form->lastpluginrecord, "earlier");
    EXPECT_TRUE(f.synthesizer.log().isEmpty());
}

TEST(DispatchPlugin, ScriptErrorsShowAScriptErrorBox) {
    EngineFixture f(kBrain);
    f.writeFile("data/probe.qzp", "Sub Main\r\n  x = 1 / 0\r\nEnd Sub\r\n");
    f.start();
    f.form->state().activate();
    f.recognizer.say("Run probe");
    ASSERT_EQ(f.log.lines.filter("message").join(","), "message Script Error");
    EXPECT_TRUE(f.messages.texts[0].startsWith("Division by zero")) << f.messages.texts[0].toStdString();
    EXPECT_TRUE(f.messages.texts[0].contains("Line 2")) << f.messages.texts[0].toStdString();
}

// Plugins that would keep the program busy for ever, or take all memory, by voice: each ends within its
// time-out or its memory budget with a Script Error box, and the next command runs as usual.
TEST(DispatchPlugin, RunawayPluginsEndAndTheProgramGoesOn) {
    const struct {
        const char* name;
        QByteArray main;
        const char* error;
        int microsecondsPerKey = 0;
    } cases[] = {
        {"slow body", "  Do\r\n    s = String(3000000, \"x\")\r\n  Loop\r\n", "Script timed out"},
        {"allocating loop", "  Do\r\n    ReDim a(100000) : s = Space(100000) & s : s = \"\"\r\n  Loop\r\n",
         "Script timed out"},
        {"memory-keeping",
         "  Dim a(1000)\r\n  For i = 0 To 1000\r\n    a(i) = String(1000000, \"k\")\r\n  Next\r\n",
         "Out of memory"},
        // 100,000 keys that would take 10 s to send: the send itself stops at the time-out.
        {"long key run", "  presskeys String(100000, \"a\")\r\n", "Script timed out", 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EngineFixture f(kBrain);
        f.keys.microsecondsPerStroke = c.microsecondsPerKey;
        QElapsedTimer timer;
        timer.start();
        f.scripts->host().setTimeout(std::chrono::milliseconds(300));
        f.scripts->host().setMemoryBudget(32u << 20);
        f.writeFile("data/probe.qzp", "Sub Main\r\n" + c.main + "End Sub\r\n");
        f.start();
        f.form->state().activate();
        f.recognizer.say("Run probe");
        ASSERT_EQ(f.messages.texts.size(), 1);
        EXPECT_TRUE(f.messages.texts[0].startsWith(c.error)) << f.messages.texts[0].toStdString();
        EXPECT_LT(timer.elapsed(), 3000) << "the run outlasted its 300 ms by far";
        f.writeFile("data/probe.qzp", kProbePlugin);
        f.recognizer.say("Run probe");
        EXPECT_EQ(f.synthesizer.log(), QStringList{"[speak flags=1] main first"});
        EXPECT_EQ(f.messages.texts.size(), 1);
    }
}

TEST(DispatchPlugin, TheScriptErrorBoxNamesWhatTheScriptGotWrong) {
    EngineFixture f(kBrain);
    // A plugin whose lines end in LF alone, as Linux editors write them.
    f.writeFile("data/probe.qzp", "Sub Main\n  QZ.speek \"hello\"\nEnd Sub\n");
    f.start();
    f.form->state().activate();
    f.recognizer.say("Run probe");
    ASSERT_EQ(f.messages.texts.size(), 1);
    EXPECT_TRUE(f.messages.texts[0].startsWith("Object doesn't support this property or method: 'QZ.speek'"))
        << f.messages.texts[0].toStdString();
    EXPECT_TRUE(f.messages.texts[0].contains("Line 2, column 3 of probe"))
        << f.messages.texts[0].toStdString();
}

TEST(DispatchModes, DictationTypesTextLiterallyAndRunsNoCommand) {
    EngineFixture f(kBrain);
    f.start();
    f.form->state().activate();
    f.form->Startdictation();
    EXPECT_EQ(f.form->Label1()->text(), "Current: Dictating...");
    f.recognizer.say("a+b {c} 50% ^up~");
    EXPECT_EQ(f.keys.typed(), "a+b {c} 50% ^up~");
    EXPECT_TRUE(f.synthesizer.log().isEmpty());
}

TEST(DispatchModes, CaptureRunsCaptureWithTheSentenceEachTime) {
    EngineFixture f(kBrain);
    f.writeFile("data/probe.qzp", "Sub Main\r\n  capturesentence\r\nEnd Sub\r\n"
                                  "Sub capture\r\n  speak \"got \" & QZ.capturedtext\r\nEnd Sub\r\n");
    f.start();
    f.form->state().activate();
    f.recognizer.say("Run probe");
    EXPECT_EQ(f.form->state().dictationmode(), "capturesentence");
    f.recognizer.say("first sentence");
    f.recognizer.say("second sentence");
    EXPECT_EQ(f.synthesizer.log(),
              (QStringList{"[speak flags=1] got first sentence", "[speak flags=1] got second sentence"}));
    EXPECT_EQ(f.form->capturedtext, "second sentence");
}

TEST(DispatchModes, CaptureWithoutACaptureProcedureIsNoError) {
    EngineFixture f(kBrain);
    f.writeFile("data/probe.qzp", "Sub Main\r\n  capturesentence\r\nEnd Sub\r\n");
    f.start();
    f.form->state().activate();
    f.recognizer.say("Run probe");
    f.recognizer.say("a sentence");
    EXPECT_EQ(f.form->capturedtext, "a sentence");
    EXPECT_EQ(f.form->state().dictationmode(), "capturesentence");
    EXPECT_TRUE(f.scripts->lastReport().isEmpty());
}

TEST(DispatchModes, StopDictationBringsBackTheCommandGrammar) {
    EngineFixture f(kBrain);
    f.start();
    f.form->Stopdictation(); // also when no dictation is active
    EXPECT_EQ(f.form->Label1()->text(), "Current: Voice commands");
    f.form->capturesentence();
    EXPECT_TRUE(f.recognizer.isDictating());
    f.form->Stopdictation();
    EXPECT_FALSE(f.recognizer.isDictating());
    EXPECT_TRUE(f.form->state().dictationmode().isEmpty());
    EXPECT_EQ(f.recognizer.activePhrases().size(), 7);
}

TEST(Hypothesis, ShowsRowZerosReplyThenTheGuess) {
    struct Case {
        QByteArray brain;
        const char* expected;
    };
    const Case cases[] = {
        {kBrain, "At your service [Hypothesis: hello there]"},
        {"", "hello there"},                     // empty list: the guess alone
        {"Wake up|activate\r\n", "hello there"}, // first record without field 2
    };
    for (const Case& c : cases) {
        EngineFixture f(c.brain);
        f.start();
        f.form->RecoContext_Hypothesis(RecoResult("hello there", 0));
        EXPECT_EQ(f.view.subtitle, c.expected);
    }
}

// What the user sees while speaking goes away when the speech is not taken for a command, so row 0 never
// keeps showing a guess that was not acted on.
TEST(Hypothesis, RejectedSpeechBringsBackRowZerosReply) {
    EngineFixture f(kBrain);
    f.start();
    f.recognizer.say("hello there general");
    EXPECT_TRUE(f.view.guessOver);
    f.recognizer.hypothesize("hello");
    EXPECT_FALSE(f.view.guessOver);
    f.recognizer.say("Wake up");
    EXPECT_TRUE(f.view.guessOver);
}

} // namespace
} // namespace qz::test
