// The recognition object model over the fake recogniser: grammar content, property ids, activation,
// commit and context release.

#include <gtest/gtest.h>

#include <QSignalSpy>

#include "platform/fake/FakeRecognizer.h"
#include "platform/speech/CompiledGrammar.h"
#include "platform/speech/SpeechError.h"
#include "tests/platform/speech/CommandGrammar.h"

using namespace qz;
using namespace qz::testing;

namespace {

struct Heard {
    QList<RecoResult> results;
    QStringList hypotheses;
    void attach(RecoContext* c) {
        QObject::connect(c, &RecoContext::Recognition,
                         [this](int, qint64, int, const RecoResult& r) { results << r; });
        QObject::connect(c, &RecoContext::Hypothesis,
                         [this](int, qint64, const RecoResult& r) { hypotheses << r.GetText(); });
    }
};

} // namespace

TEST(RecoGrammar, SpokenPhraseCarriesItsIndexAtPropertiesOneChildZero) {
    FakeRecognizer recognizer;
    auto g = setupCommandGrammar(recognizer, {"open the mail", "Volume Up", "open the mail", "volume down"});
    Heard heard;
    heard.attach(g.context.get());

    struct Case {
        const char* said;
        int id;
        QString text;
    } cases[] = {
        {"open the mail", 0, "open the mail"}, // duplicates: the first one wins
        {"volume up", 1, "Volume Up"},         // matched without regard to case; text as written
        {"Volume down!", 3, "volume down"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.said);
        heard.results.clear();
        ASSERT_TRUE(recognizer.say(c.said));
        ASSERT_EQ(heard.results.size(), 1);
        const RecoResult& r = heard.results.front();
        EXPECT_EQ(r.GrammarId(), 0);
        EXPECT_EQ(r.GetText(0, -1, true), c.text);
        EXPECT_EQ(r.Properties(0).Id(), 0);
        EXPECT_EQ(r.Properties(1).Id(), 1);
        EXPECT_EQ(r.Properties(1).Children(0).Id(), c.id);
        EXPECT_EQ(r.Properties(1).Children(0).Name(), c.text);
        EXPECT_EQ(r.Properties(1).Children(0).Value().toInt(), c.id);
    }
    // Out-of-range reads give an empty property rather than failing.
    EXPECT_EQ(heard.results.front().Properties(7).Children(3).Id(), 0);
}

TEST(RecoGrammar, DescribesRulesStatesAndTransitions) {
    FakeRecognizer recognizer;
    auto g = setupCommandGrammar(recognizer, {"open the mail", "stop"});
    EXPECT_EQ(recognizer.describeGrammar().toStdString(),
              "grammar 0\n"
              "rule \"TopLevelRule\" id=1 attrs=33 active\n"
              "  s0 -> s1 word \"\" type=1 prop(\"\",0,0) w=1\n"
              "  s1 -> end rule \"ListItemsRule\" prop(\"\",1,1) w=1\n"
              "rule \"ListItemsRule\" id=2 attrs=32\n"
              "  s0 -> end word \"open the mail\" type=1 prop(\"open the mail\",0,0) w=1\n"
              "  s0 -> end word \"stop\" type=1 prop(\"stop\",1,1) w=1");
}

TEST(RecoGrammar, RuleChangesTakeEffectOnlyAtCommit) {
    FakeRecognizer recognizer;
    auto g = setupCommandGrammar(recognizer, {"alpha", "beta"});
    g.items->Clear();
    g.items->InitialState()->AddWordTransition(nullptr, "gamma", " ", SGLexical, "gamma", 0, 0);
    EXPECT_EQ(recognizer.activePhrases(), QStringList({"alpha", "beta"}));
    EXPECT_FALSE(recognizer.say("gamma"));
    g.grammar->Rules().Commit();
    EXPECT_EQ(recognizer.activePhrases(), QStringList({"gamma"}));
    EXPECT_TRUE(recognizer.say("gamma"));
    EXPECT_FALSE(recognizer.say("alpha"));
}

TEST(RecoGrammar, EmptyListAndEmptyPhrasesRecogniseNothing) {
    FakeRecognizer recognizer;
    auto g = setupCommandGrammar(recognizer, {});
    EXPECT_TRUE(recognizer.activePhrases().isEmpty());
    fillItems(g, {"", "  ", "go"});
    // Silence is not a phrase, but the other ids keep their positions.
    EXPECT_EQ(recognizer.activePhrases(), QStringList({"go"}));
    Heard heard;
    heard.attach(g.context.get());
    ASSERT_TRUE(recognizer.say("go"));
    EXPECT_EQ(heard.results.front().Properties(1).Children(0).Id(), 2);
}

TEST(RecoGrammar, InactiveRuleAndDeactivationAreNotHeard) {
    FakeRecognizer recognizer;
    auto context = recognizer.createContext();
    RecoGrammar* grammar = context->CreateGrammar(0);
    RecoRule* rule = grammar->Rules().Add("TopLevelRule", SRATopLevel | SRADynamic, 1);
    rule->InitialState()->AddWordTransition(nullptr, "hello", " ", SGLexical, "hello", 5, 5);
    grammar->Rules().Commit();
    EXPECT_FALSE(recognizer.say("hello"));
    grammar->CmdSetRuleState("TopLevelRule", SGDSActive);
    EXPECT_TRUE(recognizer.say("hello"));
    grammar->CmdSetRuleState("TopLevelRule", SGDSInactive);
    EXPECT_FALSE(recognizer.say("hello"));
    EXPECT_THROW(grammar->CmdSetRuleState("NoSuchRule", SGDSActive), SpeechError);
}

TEST(RecoGrammar, MultiStatePathsAndNestedRulesBuildThePropertyTree) {
    FakeRecognizer recognizer;
    auto context = recognizer.createContext();
    RecoGrammar* grammar = context->CreateGrammar(0);
    RecoRule* top = grammar->Rules().Add("top", SRATopLevel, 1);
    RecoRule* colour = grammar->Rules().Add("colour", SRADynamic, 2);
    colour->InitialState()->AddWordTransition(nullptr, "red", " ", SGLexical, "red", 10, 10);
    colour->InitialState()->AddWordTransition(nullptr, "dark blue", " ", SGLexical, "blue", 11, 11);
    RecoState* mid = top->AddState();
    top->InitialState()->AddWordTransition(mid, "paint it", " ", SGLexical, "verb", 7, "paint");
    mid->AddRuleTransition(nullptr, colour, "colour", 8, 8);
    grammar->Rules().Commit();
    grammar->CmdSetRuleState("top", SGDSActive);
    EXPECT_EQ(recognizer.activePhrases(), QStringList({"paint it red", "paint it dark blue"}));

    QList<RecoResult> results;
    QObject::connect(context.get(), &RecoContext::Recognition,
                     [&](int, qint64, int, const RecoResult& r) { results << r; });
    ASSERT_TRUE(recognizer.say("paint it dark blue"));
    const RecoResult& r = results.front();
    EXPECT_EQ(r.Properties(0).Value().toString(), "paint");
    EXPECT_EQ(r.Properties(1).Id(), 8);
    EXPECT_EQ(r.Properties(1).Children(0).Id(), 11);
    EXPECT_EQ(r.GetText(2, 2), "dark blue");
}

TEST(RecoGrammar, LoopsAndSelfReferencesAreBounded) {
    FakeRecognizer recognizer;
    auto context = recognizer.createContext();
    RecoGrammar* grammar = context->CreateGrammar(0);
    RecoRule* top = grammar->Rules().Add("top", SRATopLevel, 1);
    RecoState* s = top->AddState();
    top->InitialState()->AddWordTransition(s, "go", " ", SGLexical);
    s->AddWordTransition(s, "on", " ", SGLexical);        // a loop
    s->AddRuleTransition(nullptr, top, QString(), 0, {}); // a rule that refers to itself
    s->AddWordTransition(nullptr, "now", " ", SGLexical);
    grammar->Rules().Commit();
    grammar->CmdSetRuleState("top", SGDSActive);
    const QStringList phrases = recognizer.activePhrases();
    EXPECT_TRUE(phrases.contains("go now"));
    EXPECT_TRUE(phrases.contains("go on on now"));
    EXPECT_LE(phrases.size(), kMaxExpandedPhrases);
}

// A flat list is never cut, however long; only combining choices is bounded.
TEST(RecoGrammar, LongListsAreCompleteWhileCombinationsAreBounded) {
    FakeRecognizer recognizer;
    QStringList many;
    for (int i = 0; i < 40000; ++i)
        many << QString("item %1").arg(i);
    auto g = setupCommandGrammar(recognizer, many);
    Heard heard;
    heard.attach(g.context.get());
    EXPECT_EQ(recognizer.activePhrases().size(), 40000);
    recognizer.say("item 39999");
    ASSERT_EQ(heard.results.size(), 1);
    EXPECT_EQ(heard.results[0].Properties(1).Children(0).Id(), 39999);

    // Three references in a row to a 100-word list: a million phrases, cut to the bound.
    auto context = recognizer.createContext();
    RecoGrammar* grammar = context->CreateGrammar(0);
    RecoRule* top = grammar->Rules().Add("top", SRATopLevel, 1);
    RecoRule* digits = grammar->Rules().Add("digits", 0, 2);
    for (int i = 0; i < 100; ++i)
        digits->InitialState()->AddWordTransition(nullptr, QString("w%1").arg(i));
    RecoState* a = top->AddState();
    RecoState* b = top->AddState();
    top->InitialState()->AddRuleTransition(a, digits);
    a->AddRuleTransition(b, digits);
    b->AddRuleTransition(nullptr, digits);
    grammar->Rules().Commit();
    grammar->CmdSetRuleState("top", SGDSActive);
    const qsizetype count = recognizer.activePhrases().size();
    EXPECT_GE(count, kMaxExpandedPhrases);
    EXPECT_LE(count, kMaxExpandedPhrases + 200);
}

TEST(RecoGrammar, InvalidCallsThrowClearErrors) {
    FakeRecognizer recognizer;
    auto context = recognizer.createContext();
    RecoGrammar* a = context->CreateGrammar(0);
    RecoGrammar* b = context->CreateGrammar(0);
    RecoRule* ra = a->Rules().Add("r", SRATopLevel, 1);
    RecoRule* rb = b->Rules().Add("r", SRATopLevel, 1);
    EXPECT_THROW(a->Rules().Add("r", SRATopLevel, 2), SpeechError);
    EXPECT_THROW(a->Rules().Add("", SRATopLevel, 2), SpeechError);
    EXPECT_THROW(ra->InitialState()->AddWordTransition(rb->AddState(), "x"), SpeechError);
    EXPECT_THROW(ra->InitialState()->AddRuleTransition(nullptr, rb), SpeechError);
    EXPECT_THROW(a->DictationSetState(SGDSActive), SpeechError);
    RecoState* kept = ra->AddState();
    ra->Clear();
    EXPECT_THROW(kept->AddWordTransition(nullptr, "x"), SpeechError);
    EXPECT_NO_THROW(ra->InitialState()->AddWordTransition(nullptr, "x"));
}

TEST(RecoGrammar, RefusedGrammarKeepsThePreviousOneInForce) {
    FakeRecognizer recognizer;
    auto g = setupCommandGrammar(recognizer, {"alpha"});
    recognizer.setRefuseGrammars(true);
    g.items->Clear();
    g.items->InitialState()->AddWordTransition(nullptr, "beta", " ", SGLexical, "beta", 0, 0);
    EXPECT_THROW(g.grammar->Rules().Commit(), SpeechError);
    EXPECT_EQ(recognizer.activePhrases(), QStringList({"alpha"}));
    recognizer.setRefuseGrammars(false);
    g.grammar->Rules().Commit();
    EXPECT_EQ(recognizer.activePhrases(), QStringList({"beta"}));
}

TEST(RecoContext, NewContextReleasesTheOldOne) {
    FakeRecognizer recognizer;
    auto first = setupCommandGrammar(recognizer, {"alpha"});
    Heard oldHeard;
    oldHeard.attach(first.context.get());
    auto second = setupCommandGrammar(recognizer, {"beta"});
    Heard newHeard;
    newHeard.attach(second.context.get());

    EXPECT_FALSE(first.context->isCurrent());
    EXPECT_FALSE(recognizer.say("alpha"));
    EXPECT_TRUE(recognizer.say("beta"));
    EXPECT_TRUE(oldHeard.results.isEmpty());
    EXPECT_TRUE(oldHeard.hypotheses.isEmpty());
    EXPECT_EQ(newHeard.results.size(), 1);
    // The released context's grammar changes no longer reach the recogniser.
    fillItems(first, {"gamma"});
    EXPECT_EQ(recognizer.activePhrases(), QStringList({"beta"}));
    // Destroying the current context silences the recogniser.
    second.context.reset();
    EXPECT_FALSE(recognizer.say("beta"));
}

TEST(RecoContext, ContextCanBeReplacedInsideItsOwnHandler) {
    FakeRecognizer recognizer;
    auto g = setupCommandGrammar(recognizer, {"start dictation"});
    std::unique_ptr<RecoContext> dictation;
    int handled = 0;
    QObject::connect(g.context.get(), &RecoContext::Recognition, [&](int, qint64, int, const RecoResult&) {
        ++handled;
        g.context.reset(); // the engine may drop the sender from its handler
        dictation = setupDictation(recognizer);
    });
    QObject::connect(g.context.get(), &RecoContext::Recognition,
                     [&](int, qint64, int, const RecoResult&) { ++handled; });
    ASSERT_TRUE(recognizer.say("start dictation"));
    EXPECT_EQ(handled, 1);
    QList<RecoResult> results;
    QObject::connect(dictation.get(), &RecoContext::Recognition,
                     [&](int, qint64, int, const RecoResult& r) { results << r; });
    ASSERT_TRUE(recognizer.say("Hello there, world"));
    EXPECT_EQ(results.front().GrammarId(), 1);
    EXPECT_EQ(results.front().GetText(), "Hello there, world");
    EXPECT_EQ(results.front().Properties(1).Children(0).Id(), 0);
}

TEST(RecoContext, HypothesesGrowWordByWordBeforeTheResult) {
    FakeRecognizer recognizer;
    auto g = setupCommandGrammar(recognizer, {"open the mail"});
    QStringList order;
    QObject::connect(g.context.get(), &RecoContext::Hypothesis,
                     [&](int, qint64, const RecoResult& r) { order << "h:" + r.GetText(); });
    QObject::connect(g.context.get(), &RecoContext::Recognition,
                     [&](int, qint64, int, const RecoResult& r) { order << "r:" + r.GetText(); });
    recognizer.say("open the mail");
    recognizer.say("open the door"); // hypotheses only
    EXPECT_EQ(order, QStringList({"h:open", "h:open the", "h:open the mail", "r:open the mail", "h:open",
                                  "h:open the", "h:open the door"}));
}

TEST(NormalizeWords, SplitsOnBlanksAndSeparatorsAndDropsOuterPunctuation) {
    struct Case {
        QString text, separators;
        QStringList words;
    } cases[] = {
        {"Volume  Up!", " ", {"volume", "up"}},
        {"  don't  e-mail ", " ", {"don't", "e-mail"}},
        {"'quoted' -dash- ...", " ", {"quoted", "dash"}},
        {"one;two three", ";", {"one", "two", "three"}},
        {"tab\tand\nline", " ", {"tab", "and", "line"}},
        {"", " ", {}},
        {"?! --", " ", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(normalizeWords(c.text, c.separators), c.words) << c.text.toStdString();
}
