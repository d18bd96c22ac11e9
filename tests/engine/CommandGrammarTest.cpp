#include "engine/CommandGrammar.h"
#include "platform/fake/FakeRecognizer.h"
#include "platform/speech/RecoContext.h"
#include "platform/speech/RecoGrammar.h"
#include "platform/speech/RecoResult.h"
#include "platform/speech/SpeechError.h"

#include <QCoreApplication>
#include <QPointer>

#include <gtest/gtest.h>

namespace qz {
namespace {

TEST(CommandGrammar, LayoutRuleByRuleAndTransitionByTransition) {
    FakeRecognizer recognizer;
    CommandGrammar grammar(&recognizer);
    EXPECT_EQ(
        grammar.SetupGrammar({"Wake up|activate|Hi", "|plugin|say|empty phrase", "Wake up|plugin|say|same"}),
        "");
    const QString expected = "grammar 0\n"
                             "rule \"TopLevelRule\" id=1 attrs=33 active\n"
                             "  s0 -> s1 word \"\" type=1 prop(\"\",0,0) w=1\n"
                             "  s1 -> end rule \"ListItemsRule\" prop(\"\",1,1) w=1\n"
                             "rule \"ListItemsRule\" id=2 attrs=32\n"
                             "  s0 -> end word \"Wake up\" type=1 prop(\"Wake up\",0,0) w=1\n"
                             "  s0 -> end word \"\" type=1 prop(\"\",1,1) w=1\n"
                             "  s0 -> end word \"Wake up\" type=1 prop(\"Wake up\",2,2) w=1";
    ASSERT_NE(grammar.grammar(), nullptr);
    EXPECT_EQ(grammar.grammar()->describe(), expected);
}

TEST(CommandGrammar, RecognitionCarriesTheRecordIndexOfTheCurrentList) {
    FakeRecognizer recognizer;
    CommandGrammar grammar(&recognizer);
    QList<RecoResult> recognised;
    QObject::connect(&grammar, &CommandGrammar::Recognition, [&](const RecoResult& r) { recognised << r; });
    grammar.SetupGrammar({"open mail|plugin|x", "close mail|plugin|y"});
    EXPECT_EQ(grammar.RebuildGrammar({"close mail|plugin|y", "a|b", "open mail|plugin|x"}), "");
    ASSERT_TRUE(recognizer.say("open mail"));
    ASSERT_EQ(recognised.size(), 1);
    const RecoResult& result = recognised.at(0);
    EXPECT_EQ(result.GrammarId(), 0);
    EXPECT_EQ(result.Properties(1).Children(0).Id(), 2);
}

TEST(CommandGrammar, FailuresAreThrownOrReturnedNotSwallowed) {
    CommandGrammar none(nullptr);
    EXPECT_THROW(none.SetupGrammar({"a|activate"}), SpeechError);
    EXPECT_THROW(none.startDictation(), SpeechError);
    EXPECT_EQ(none.RebuildGrammar({"a|activate"}), ""); // no command grammar in force: nothing to do

    FakeRecognizer recognizer;
    CommandGrammar grammar(&recognizer);
    grammar.SetupGrammar({"a|activate"});
    recognizer.setRefuseGrammars(true);
    EXPECT_TRUE(grammar.RebuildGrammar({"a|activate", "b|sleep"}).contains("refused"));
}

TEST(CommandGrammar, DictationHearsListenedForPhrasesWholeUntilStopped) {
    FakeRecognizer recognizer;
    CommandGrammar grammar(&recognizer);
    grammar.SetupGrammar({"take dictation|plugin|dictation"});
    grammar.listenfor("stop dictation"); // before dictation starts: kept for it
    grammar.startDictation();
    grammar.listenfor("  ");             // blank: ignored
    grammar.listenfor("stop dictation"); // twice: once
    grammar.listenfor("take dictation");
    EXPECT_TRUE(recognizer.isDictating());
    EXPECT_EQ(grammar.grammar()->Id(), 1);
    EXPECT_EQ(recognizer.activePhrases(), (QStringList{"stop dictation", "take dictation"}));
    grammar.stopDictation();
    EXPECT_FALSE(recognizer.isDictating());
    grammar.startDictation();
    EXPECT_TRUE(recognizer.activePhrases().isEmpty()); // stopping forgot them
}

TEST(CommandGrammar, AContextReplacedInsideItsOwnEventGoesAfterIt) {
    FakeRecognizer recognizer;
    CommandGrammar grammar(&recognizer);
    grammar.SetupGrammar({"switch|plugin|x"});
    QPointer<RecoContext> first = grammar.context();
    QObject::connect(&grammar, &CommandGrammar::Recognition,
                     [&] { grammar.SetupGrammar({"switch|plugin|x"}); });
    ASSERT_TRUE(recognizer.say("switch"));
    EXPECT_TRUE(first); // still alive while its event returns
    EXPECT_NE(grammar.context(), first.data());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(first);
}

} // namespace
} // namespace qz
