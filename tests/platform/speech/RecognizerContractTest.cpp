// The recogniser's contract, run over the fake and over PocketSphinx fed with espeak-ng speech: the right
// property id for every phrase, rejection of other sentences, dictation, hypotheses, released contexts,
// and words missing from the dictionary.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "platform/audio/AudioInput.h"
#include "platform/audio/AudioOutput.h"
#include "platform/audio/BufferAudioInput.h"
#include "platform/audio/WavFile.h"
#include "platform/fake/FakeRecognizer.h"
#include "platform/speech/EspeakSynthesizer.h"
#include "platform/speech/PocketSphinxRecognizer.h"
#include "tests/platform/speech/CommandGrammar.h"
#include "tests/platform/speech/SpokenText.h"

using namespace qz;
using namespace qz::testing;

namespace {

QCoreApplication& app() {
    static int argc = 1;
    static char name[] = "recognizer-tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication instance(argc, argv);
    return instance;
}

// Audio the test pushes, handed on in 20 ms chunks on the recogniser's thread.
class PushAudioInput : public AudioInput {
public:
    bool start() override { return true; }
    void stop() override {}
    QString errorString() const override { return {}; }
    void push(const QByteArray& samples) {
        for (qsizetype i = 0; i < samples.size(); i += 640)
            emit audioReady(samples.mid(i, 640));
    }
};

class Harness {
public:
    virtual ~Harness() = default;
    virtual Recognizer& recognizer() = 0;
    // Says the text and returns once everything it caused has been delivered.
    virtual void say(const QString& text) = 0;
};

class FakeHarness : public Harness {
public:
    Recognizer& recognizer() override { return fake_; }
    void say(const QString& text) override { fake_.say(text); }

private:
    FakeRecognizer fake_;
};

class SphinxHarness : public Harness {
public:
    explicit SphinxHarness(const SphinxSettings& settings = {}) {
        auto input = std::make_unique<PushAudioInput>();
        input_ = input.get();
        recognizer_ = std::make_unique<PocketSphinxRecognizer>(std::move(input), settings);
    }
    Recognizer& recognizer() override { return *recognizer_; }
    void say(const QString& text) override {
        const QByteArray speech = speechOf(text);
        // Dictation waits for a longer pause than commands before it ends a sentence.
        const QByteArray silence(kRecognitionSampleRate * 2 * 12 / 10, 0);
        const QByteArray audio = silence + speech + silence;
        bool done = false;
        QObject* ui = QCoreApplication::instance();
        QMetaObject::invokeMethod(input_, [this, audio, ui, &done] {
            input_->push(audio);
            // Queued behind every event the audio caused.
            QMetaObject::invokeMethod(
                ui, [&done] { done = true; }, Qt::QueuedConnection);
        });
        const bool delivered = QTest::qWaitFor([&] { return done; }, 30000);
        EXPECT_TRUE(delivered) << "the recogniser did not keep up";
        QCoreApplication::processEvents();
    }

private:
    PushAudioInput* input_;
    std::unique_ptr<PocketSphinxRecognizer> recognizer_;
};

struct Heard {
    QList<RecoResult> results;
    int hypothesesBeforeResult = 0;
    void attach(RecoContext* c) {
        QObject::connect(c, &RecoContext::Recognition,
                         [this](int, qint64, int, const RecoResult& r) { results << r; });
        QObject::connect(c, &RecoContext::Hypothesis, [this](int, qint64, const RecoResult&) {
            if (results.isEmpty()) ++hypothesesBeforeResult;
        });
    }
};

template <typename H> class RecognizerContract : public ::testing::Test {
protected:
    void SetUp() override {
        app();
        harness = std::make_unique<H>();
    }
    std::unique_ptr<Harness> harness;
};

using Harnesses = ::testing::Types<FakeHarness, SphinxHarness>;
TYPED_TEST_SUITE(RecognizerContract, Harnesses);

const QStringList kPhrases = {
    "volume up",       "volume down",     "start dictation",   "stop dictation",      "open the mail",
    "what time is it", "play some music", "next song",         "close the window",    "scroll down",
    "go to sleep",     "tell me a joke",  "read the news",     "what is the weather", "copy that",
    "save the file",   "open calculator", "lock the computer", "take a screenshot",   "search the web"};

} // namespace

TYPED_TEST(RecognizerContract, EveryPhraseIsRecognisedWithItsPropertyId) {
    auto g = setupCommandGrammar(this->harness->recognizer(), kPhrases);
    Heard heard;
    heard.attach(g.context.get());
    for (int i = 0; i < kPhrases.size(); ++i) {
        heard.results.clear();
        this->harness->say(kPhrases[i]);
        ASSERT_EQ(heard.results.size(), 1) << kPhrases[i].toStdString();
        EXPECT_EQ(heard.results[0].GrammarId(), 0);
        EXPECT_EQ(heard.results[0].Properties(1).Children(0).Id(), i) << kPhrases[i].toStdString();
        EXPECT_EQ(heard.results[0].GetText(), kPhrases[i]);
    }
}

TYPED_TEST(RecognizerContract, SentencesOutsideTheGrammarAreRejected) {
    auto g = setupCommandGrammar(this->harness->recognizer(), kPhrases);
    Heard heard;
    heard.attach(g.context.get());
    // Sentences said among commands, as a user's would be: a command first sets the normalisation.
    this->harness->say("volume up");
    heard.results.clear();
    for (const QString& s :
         QStringList{"the children are playing in the garden", "my brother bought a new car last week",
                     "let's order pizza for dinner"}) {
        this->harness->say(s);
        EXPECT_TRUE(heard.results.isEmpty())
            << s.toStdString() << " was taken for " << heard.results.value(0).GetText().toStdString();
        heard.results.clear();
    }
}

TYPED_TEST(RecognizerContract, WordsMissingFromTheDictionaryAreRecognised) {
    auto g = setupCommandGrammar(this->harness->recognizer(),
                                 {"open quorzelpad", "launch zibberton", "volume up"});
    Heard heard;
    heard.attach(g.context.get());
    this->harness->say("launch zibberton");
    ASSERT_EQ(heard.results.size(), 1);
    EXPECT_EQ(heard.results[0].Properties(1).Children(0).Id(), 1);
    heard.results.clear();
    this->harness->say("open quorzelpad");
    ASSERT_EQ(heard.results.size(), 1);
    EXPECT_EQ(heard.results[0].Properties(1).Children(0).Id(), 0);
}

TYPED_TEST(RecognizerContract, DictationGivesTheTextWithGrammarIdOne) {
    auto context = setupDictation(this->harness->recognizer());
    Heard heard;
    heard.attach(context.get());
    this->harness->say("good morning to you all"); // lets the recogniser adapt, as the first sentence does
    heard.results.clear();
    this->harness->say("I would like a cup of coffee");
    ASSERT_GE(heard.results.size(), 1);
    EXPECT_EQ(heard.results[0].GrammarId(), 1);
    // Free dictation of synthetic speech is not word-perfect; the sentence's key word must come through.
    EXPECT_TRUE(heard.results[0].GetText().contains("coffee")) << heard.results[0].GetText().toStdString();
    EXPECT_EQ(heard.results[0].Properties(1).Children(0).Id(), 0);
}

TYPED_TEST(RecognizerContract, HypothesesArriveWhileALongPhraseIsSpoken) {
    const QString phrase = "please open the big blue folder with all my holiday photographs";
    auto g = setupCommandGrammar(this->harness->recognizer(), {"volume up", phrase});
    Heard heard;
    heard.attach(g.context.get());
    this->harness->say(phrase);
    ASSERT_EQ(heard.results.size(), 1);
    EXPECT_EQ(heard.results[0].Properties(1).Children(0).Id(), 1);
    EXPECT_GE(heard.hypothesesBeforeResult, 2);
}

TYPED_TEST(RecognizerContract, AReleasedContextRaisesNoMoreEvents) {
    auto first = setupCommandGrammar(this->harness->recognizer(), {"volume up", "volume down"});
    Heard old;
    old.attach(first.context.get());
    auto second = setupCommandGrammar(this->harness->recognizer(), {"open the mail"});
    Heard current;
    current.attach(second.context.get());
    this->harness->say("volume up");
    this->harness->say("open the mail");
    EXPECT_TRUE(old.results.isEmpty());
    EXPECT_EQ(old.hypothesesBeforeResult, 0);
    ASSERT_EQ(current.results.size(), 1);
    EXPECT_EQ(current.results[0].GetText(), "open the mail");
}

TEST(PocketSphinxRecognizer, WithoutMicrophoneOrModelItSaysWhyAndKeepsRunning) {
    app();
    struct Case {
        const char* name;
        bool input;
        QString modelDir;
        const char* status;
    } cases[] = {
        {"no microphone", false, SphinxSettings{}.modelDir, "No microphone found"},
        {"no model", true, "/nonexistent/model", "speech model is missing"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SphinxSettings settings;
        settings.modelDir = c.modelDir;
        PocketSphinxRecognizer recognizer(c.input ? std::make_unique<PushAudioInput>() : nullptr, settings);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !recognizer.status().isEmpty(); }, 20000));
        EXPECT_TRUE(recognizer.status().contains(c.status)) << recognizer.status().toStdString();
        // Grammar calls still work; nothing is heard.
        auto g = setupCommandGrammar(recognizer, {"volume up"});
        EXPECT_TRUE(g.context->isCurrent());
    }
}

// The buffer input moves to the recogniser's thread with its timer, so a paced stream keeps flowing while
// the test appends to it from this thread.
TEST(PocketSphinxRecognizer, RecognisesAPhraseFromARealTimeBufferInput) {
    app();
    const QByteArray silence(kRecognitionSampleRate * 2, 0); // 1 s
    auto input = std::make_unique<BufferAudioInput>(silence, true);
    BufferAudioInput* feed = input.get();
    feed->setTrailingSilenceMs(1000);
    PocketSphinxRecognizer recognizer(std::move(input));
    auto g = setupCommandGrammar(recognizer, kPhrases);
    Heard heard;
    heard.attach(g.context.get());
    feed->append(speechOf("what time is it") + silence);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !heard.results.isEmpty(); }, 15000))
        << "no audio reached the recogniser";
    EXPECT_EQ(heard.results[0].GetText(), "what time is it");
}

TYPED_TEST(RecognizerContract, ItsOwnVoiceIsNeverHeard) {
    Recognizer& recognizer = this->harness->recognizer();
    auto g = setupCommandGrammar(recognizer, kPhrases);
    Heard heard;
    heard.attach(g.context.get());
    recognizer.setOwnVoiceSounding(true); // the program says, for instance, "what time is it"
    this->harness->say("what time is it");
    EXPECT_TRUE(heard.results.isEmpty());
    EXPECT_EQ(heard.hypothesesBeforeResult, 0);
    recognizer.setOwnVoiceSounding(false);
    this->harness->say("volume up"); // after a pause longer than the room's echo
    ASSERT_EQ(heard.results.size(), 1);
    EXPECT_EQ(heard.results[0].GetText(), "volume up");
}

TEST(PocketSphinxRecognizer, TheEchoRightAfterItsOwnVoiceIsNotHeard) {
    app();
    auto input = std::make_unique<PushAudioInput>();
    PushAudioInput* feed = input.get();
    PocketSphinxRecognizer recognizer(std::move(input));
    auto g = setupCommandGrammar(recognizer, kPhrases);
    QList<RecoResult> heard, rejected;
    QObject::connect(g.context.get(), &RecoContext::Recognition,
                     [&](int, qint64, int, const RecoResult& r) { heard << r; });
    QObject::connect(&recognizer, &PocketSphinxRecognizer::rejected,
                     [&](const RecoResult& r) { rejected << r; });
    const QByteArray gap(kRecognitionSampleRate * 2, 0);
    const QByteArray phrase = speechOf("volume up");
    bool done = false;
    auto push = [&](const QByteArray& audio) {
        done = false;
        QMetaObject::invokeMethod(feed, [&, audio] {
            feed->push(audio);
            QMetaObject::invokeMethod(
                qApp, [&] { done = true; }, Qt::QueuedConnection);
        });
        ASSERT_TRUE(QTest::qWaitFor([&] { return done; }, 30000));
        QCoreApplication::processEvents();
    };
    // Speech already under way when the voice starts is cut off, and the display is told so.
    push(gap + phrase.left(phrase.size() / 2));
    recognizer.setOwnVoiceSounding(true);
    push(phrase.mid(phrase.size() / 2) + gap);
    EXPECT_TRUE(heard.isEmpty());
    EXPECT_EQ(rejected.size(), 1);
    // The room's echo: the first 300 ms after the voice stops are not heard, so a phrase that starts at
    // once loses its beginning and is not taken for the command.
    recognizer.setOwnVoiceSounding(false);
    push(phrase + gap);
    EXPECT_TRUE(heard.isEmpty());
    push(gap + phrase + gap);
    ASSERT_EQ(heard.size(), 1);
    EXPECT_EQ(heard[0].GetText(), "volume up");
}

TEST(PocketSphinxRecognizer, KeepsItsNormalisationForTheNextRunAndIgnoresADamagedOne) {
    app();
    QTemporaryDir dir;
    SphinxSettings settings;
    settings.normalisationFile = dir.filePath("normalisation.qzs");
    auto sayOnce = [&](const QString& phrase) {
        SphinxHarness harness(settings);
        auto g = setupCommandGrammar(harness.recognizer(), kPhrases);
        Heard heard;
        heard.attach(g.context.get());
        harness.say(phrase);
        return heard.results;
    };
    {
        SphinxHarness unheard(settings); // a run that heard no speech leaves no estimate behind
    }
    EXPECT_FALSE(QFile::exists(settings.normalisationFile));
    ASSERT_EQ(sayOnce("what time is it").size(), 1);
    QFile kept(settings.normalisationFile);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = kept.readAll().trimmed().split('\n');
    EXPECT_EQ(lines.size(), 13); // one number per cepstral coefficient
    for (const QByteArray& line : lines) {
        bool number = false;
        line.toFloat(&number);
        EXPECT_TRUE(number) << line.toStdString();
    }
    kept.close();
    for (const QByteArray& damaged : {QByteArray("41.0\nnot a number\n"), QByteArray("1\n2\n")}) {
        ASSERT_TRUE(kept.open(QIODevice::WriteOnly | QIODevice::Truncate));
        kept.write(damaged);
        kept.close();
        const QList<RecoResult> heard = sayOnce("take a screenshot");
        ASSERT_EQ(heard.size(), 1) << damaged.toStdString();
        EXPECT_EQ(heard[0].GetText(), "take a screenshot");
    }
}
