// The voice's contract, run over the fake synthesizer and over espeak-ng (played silently, timed as if
// heard): voices listed English first, events in order, asynchronous and synchronous Speak, purge, release.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSet>
#include <QTest>

#include "platform/audio/AudioOutput.h"
#include "platform/fake/FakeSynthesizer.h"
#include "platform/speech/EspeakSynthesizer.h"
#include "platform/speech/SpeechError.h"
#include "platform/speech/SpeechVoice.h"

using namespace qz;

namespace {

QCoreApplication& app() {
    static int argc = 1;
    static char name[] = "voice-tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication instance(argc, argv);
    return instance;
}

struct FakeBackend {
    static std::unique_ptr<Synthesizer> make() {
        auto fake = std::make_unique<FakeSynthesizer>();
        fake->setMillisecondsPerWord(40);
        return fake;
    }
};

struct EspeakBackend {
    static std::unique_ptr<Synthesizer> make() {
        auto espeak = std::make_unique<EspeakSynthesizer>(std::make_unique<TimedSilentOutput>("silent test"));
        if (espeak->voices().isEmpty()) return nullptr;
        return espeak;
    }
};

struct Recorder {
    QStringList events;
    void attach(SpeechVoice& voice) {
        QObject::connect(&voice, &SpeechVoice::StartStream,
                         [this](int n, qint64) { events << QString("start %1").arg(n); });
        QObject::connect(&voice, &SpeechVoice::EndStream,
                         [this](int n, qint64) { events << QString("end %1").arg(n); });
    }
    bool waitFor(const QString& event, int ms = 10000) {
        return QTest::qWaitFor([&] { return events.contains(event); }, ms);
    }
};

template <typename Backend> class VoiceContract : public ::testing::Test {
protected:
    void SetUp() override {
        app();
        synthesizer = Backend::make();
        if (!synthesizer) GTEST_SKIP() << "espeak-ng is not available";
    }
    std::unique_ptr<Synthesizer> synthesizer;
};

using Backends = ::testing::Types<FakeBackend, EspeakBackend>;
TYPED_TEST_SUITE(VoiceContract, Backends);

} // namespace

TYPED_TEST(VoiceContract, ListsThreeDistinctEnglishVoicesFirst) {
    SpeechVoice voice(*this->synthesizer);
    const QList<VoiceToken> voices = voice.GetVoices("", "");
    ASSERT_GE(voices.size(), 3);
    QSet<QString> ids;
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(voices[i].language.startsWith("en")) << voices[i].id.toStdString();
        ids.insert(voices[i].id);
    }
    EXPECT_EQ(ids.size(), 3);
    EXPECT_EQ(voice.voice(), voices[0]);
    voice.setVoice(voices[1]);
    EXPECT_EQ(voice.voice(), voices[1]);
    EXPECT_THROW(voice.setVoice(VoiceToken{"xx-none", "None", "xx"}), SpeechError);
}

TYPED_TEST(VoiceContract, AsynchronousSpeakReturnsAtOnceAndRaisesEventsInOrder) {
    SpeechVoice voice(*this->synthesizer);
    voice.setVoice(voice.GetVoices()[1]);
    Recorder recorder;
    recorder.attach(voice);
    EXPECT_EQ(voice.Speak("hello there", SVSFlagsAsync), 1);
    EXPECT_EQ(voice.Speak("and goodbye", SVSFlagsAsync), 2);
    EXPECT_TRUE(recorder.events.isEmpty()) << "events come from the event loop, after Speak returned";
    ASSERT_TRUE(recorder.waitFor("start 1"));
    EXPECT_TRUE(voice.isSpeaking());
    ASSERT_TRUE(recorder.waitFor("end 2"));
    EXPECT_EQ(recorder.events, QStringList({"start 1", "end 1", "start 2", "end 2"}));
    EXPECT_FALSE(voice.isSpeaking());
}

TYPED_TEST(VoiceContract, SynchronousSpeakReturnsOnceEverythingBeforeItWasSpoken) {
    SpeechVoice voice(*this->synthesizer);
    Recorder recorder;
    recorder.attach(voice);
    voice.Speak("one two three", SVSFlagsAsync);
    voice.Speak("", SVSFDefault); // what quit does
    // Both texts are done: their events are already queued and need no more waiting.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(recorder.events, QStringList({"start 1", "end 1", "start 2", "end 2"}));
}

TYPED_TEST(VoiceContract, PurgeCutsShortWhatIsPlayingAndDropsWhatIsQueued) {
    SpeechVoice voice(*this->synthesizer);
    Recorder recorder;
    recorder.attach(voice);
    voice.Speak("this is a rather long sentence that takes a while to say", SVSFlagsAsync);
    voice.Speak("never said", SVSFlagsAsync);
    ASSERT_TRUE(recorder.waitFor("start 1"));
    QElapsedTimer clock;
    clock.start();
    voice.Speak("instead", SVSFlagsAsync | SVSFPurgeBeforeSpeak);
    ASSERT_TRUE(recorder.waitFor("end 3"));
    EXPECT_EQ(recorder.events, QStringList({"start 1", "end 1", "start 3", "end 3"}));
    EXPECT_LT(clock.elapsed(), 2500);
}

TYPED_TEST(VoiceContract, ReleasedVoiceRaisesNoMoreEventsAndTheNextOneSpeaks) {
    auto old = std::make_unique<SpeechVoice>(*this->synthesizer);
    Recorder oldRecorder;
    oldRecorder.attach(*old);
    old->Speak("a sentence that is cut off when the voice goes away", SVSFlagsAsync);
    ASSERT_TRUE(oldRecorder.waitFor("start 1"));
    old.reset();
    SpeechVoice next(*this->synthesizer);
    Recorder recorder;
    recorder.attach(next);
    next.Speak("hello", SVSFlagsAsync);
    ASSERT_TRUE(recorder.waitFor("end 1"));
    EXPECT_EQ(oldRecorder.events, QStringList({"start 1"}));
}

TYPED_TEST(VoiceContract, ReportsAPhonemeWhileSpeaking) {
    SpeechVoice voice(*this->synthesizer);
    QStringList seen;
    QObject::connect(&voice, &SpeechVoice::StartStream, [&](int, qint64) { seen << voice.currentPhoneme(); });
    QObject::connect(&voice, &SpeechVoice::Phoneme, [&](int, const QString& p) { seen << p; });
    Recorder recorder;
    recorder.attach(voice);
    voice.Speak("mouth moving", SVSFlagsAsync);
    ASSERT_TRUE(recorder.waitFor("end 1"));
    seen.removeAll(QString());
    EXPECT_FALSE(seen.isEmpty());
    EXPECT_EQ(voice.currentPhoneme(), QString());
}

TEST(FakeSynthesizer, RecordsRequestsAndMovesOnWhenTheTestSays) {
    app();
    FakeSynthesizer fake;
    SpeechVoice voice(fake);
    Recorder recorder;
    recorder.attach(voice);
    voice.Speak("hello", SVSFlagsAsync);
    voice.Speak("world", SVSFlagsAsync);
    EXPECT_EQ(fake.log(), QStringList({"[speak flags=1] hello", "[speak flags=1] world"}));
    EXPECT_TRUE(fake.startNext());
    EXPECT_FALSE(fake.startNext()) << "one text at a time";
    EXPECT_EQ(recorder.events, QStringList({"start 1"}));
    EXPECT_TRUE(fake.finishCurrent());
    EXPECT_TRUE(fake.finishAll());
    EXPECT_EQ(recorder.events, QStringList({"start 1", "end 1", "start 2", "end 2"}));
    EXPECT_FALSE(fake.finishAll());
}
