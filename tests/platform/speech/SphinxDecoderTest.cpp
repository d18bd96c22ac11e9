// The acceptance measures of the PocketSphinx decoder on espeak-ng speech: an utterance is judged the same
// wherever it falls in a stream, speech around a phrase is not passed over as silence, and the threshold
// that follows the background noise keeps phrases while it still rejects sentences in that noise.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QStringList>

#include <cmath>
#include <random>

#include "platform/speech/SphinxDecoder.h"
#include "tests/platform/speech/SpokenText.h"
#include "tools/qz-recognize/GrammarCompiler.h"
#include "tools/qz-recognize/SpeechTiming.h"

using namespace qz;
using namespace qz::testing;

namespace {

const QStringList kPhrases = {"volume up",       "volume down",   "open calculator",   "close the window",
                              "what time is it", "read the news", "take a screenshot", "go to sleep"};

QByteArray silence(int ms) {
    return QByteArray(kRecognitionSampleRate / 1000 * ms * 2, 0);
}

// Final results (recognitions and rejections) of one stream, in order, fed as a microphone would.
QList<SphinxDecoder::Event> decode(SphinxDecoder& decoder, const QByteArray& audio) {
    QList<SphinxDecoder::Event> finals;
    for (const TimedEvent& t : runTimed(decoder, audio).events)
        if (t.event.kind != SphinxDecoder::Event::Hypothesis) finals << t.event;
    return finals;
}

// The same audio with white noise mixed in at the given signal-to-noise ratio, against the loudness of
// the speech; the noise also fills the lead-in, as a room's would.
QByteArray withNoise(const QByteArray& speech, double snrDb, int leadInMs) {
    const auto* s = reinterpret_cast<const int16_t*>(speech.constData());
    const size_t n = size_t(speech.size() / 2);
    double energy = 0;
    size_t loud = 0;
    for (size_t i = 0; i < n; ++i)
        if (std::abs(s[i]) > 500) energy += double(s[i]) * s[i], ++loud;
    const double noiseRms =
        std::sqrt(energy / double(std::max<size_t>(loud, 1))) / std::pow(10.0, snrDb / 20);
    std::mt19937 random(11);
    std::normal_distribution<double> noise(0, noiseRms);
    const size_t lead = size_t(kRecognitionSampleRate / 1000 * leadInMs);
    QByteArray out((lead + n) * 2, 0);
    auto* o = reinterpret_cast<int16_t*>(out.data());
    for (size_t i = 0; i < lead + n; ++i) {
        const double v = (i >= lead ? s[i - lead] : 0) + noise(random);
        o[i] = int16_t(std::clamp(v, -32768.0, 32767.0));
    }
    return out;
}

int phraseOf(const SphinxDecoder::Event& e) {
    return e.result.Properties(1).Children(0).Id();
}

} // namespace

TEST(SphinxDecoder, AnUtteranceIsJudgedAlikeWhereverItFallsInTheStream) {
    // The library numbers frames from the start of the stream; measures taken per utterance must not
    // depend on how much audio came before. The first utterance settles the cepstral mean.
    SphinxDecoder decoder;
    decoder.setGrammar(compileCommandGrammar(kPhrases));
    const QByteArray phrase = speechOf("open calculator");
    const QByteArray gap = silence(1500);
    const auto finals = decode(decoder, gap + phrase + gap + phrase + gap + speechOf("read the news") + gap +
                                            silence(20000) + phrase + gap);
    ASSERT_EQ(finals.size(), 4);
    for (int i : {1, 3}) {
        EXPECT_EQ(finals[i].kind, SphinxDecoder::Event::Recognition) << i;
        EXPECT_EQ(phraseOf(finals[i]), 2) << i;
        // Clean speech of a phrase fits its grammar path about as well as the free phone loop.
        EXPECT_GT(finals[i].utteranceScore, -15.0) << i;
        EXPECT_LE(finals[i].unexplainedFrames, 10) << i;
    }
    EXPECT_NEAR(finals[3].utteranceScore, finals[1].utteranceScore, 3.0);
    EXPECT_NEAR(finals[3].worstWordScore, finals[1].worstWordScore, 6.0);
}

TEST(SphinxDecoder, SpeechAroundAPhraseIsNotPassedOverAsSilence) {
    SphinxDecoder decoder;
    decoder.setGrammar(compileCommandGrammar(kPhrases));
    const QByteArray gap = silence(1500);
    const auto finals = decode(
        decoder, gap + speechOf("volume up") + gap +
                     speechOf("could you please turn the volume up a little bit for the children") + gap);
    ASSERT_EQ(finals.size(), 2);
    EXPECT_EQ(finals[0].kind, SphinxDecoder::Event::Recognition);
    EXPECT_LE(finals[0].unexplainedFrames, 20);
    EXPECT_EQ(finals[1].kind, SphinxDecoder::Event::Rejection) << finals[1].result.GetText().toStdString();
    EXPECT_GT(finals[1].unexplainedFrames, 50);
}

TEST(SphinxDecoder, InNoiseThePhraseIsKeptAndTheSentenceRejected) {
    // A stream of one noisy room: the first utterance lets the cepstral mean settle, as the user's first
    // words would; then a phrase and a sentence in the same noise.
    SphinxDecoder decoder;
    decoder.setGrammar(compileCommandGrammar(kPhrases));
    const QByteArray gap = silence(1500);
    const QByteArray clean = gap + speechOf("what time is it") + gap + speechOf("take a screenshot") + gap +
                             speechOf("the children are playing in the garden") + gap;
    const auto finals = decode(decoder, withNoise(clean, 15, 1000));
    ASSERT_EQ(finals.size(), 3);
    for (const auto& e : finals)
        EXPECT_GT(e.noiseLevelDb, 48.0) << "the background level follows the noise";
    EXPECT_EQ(finals[1].kind, SphinxDecoder::Event::Recognition);
    EXPECT_EQ(phraseOf(finals[1]), 6);
    EXPECT_EQ(finals[2].kind, SphinxDecoder::Event::Rejection) << finals[2].result.GetText().toStdString();
}

TEST(SphinxDecoder, APhraseThatEndsASentenceAfterAPauseIsNotTakenForACommand) {
    // "... | read the news" with a pause between reaches the decoder as two utterances: the first fits no
    // phrase, the second fits one exactly, yet it is the end of a sentence. The same phrase said on its
    // own, or right after an accepted command, is a command.
    SphinxDecoder decoder;
    decoder.setGrammar(compileCommandGrammar(kPhrases));
    const QByteArray gap = silence(1500), pause = silence(400);
    const QByteArray news = speechOf("read the news");
    const auto finals =
        decode(decoder, gap + speechOf("what time is it") + gap +
                            speechOf("my brother told me yesterday that he would like to") + pause + news +
                            gap + news + gap + speechOf("volume up") + pause + news + gap);
    std::string heard;
    for (const auto& e : finals)
        heard += (e.kind == SphinxDecoder::Event::Recognition ? "+" : "-") +
                 e.result.GetText().toStdString() + (e.continuation ? " (continuation)" : "") + "; ";
    ASSERT_EQ(finals.size(), 5) << heard;
    EXPECT_EQ(finals[1].kind, SphinxDecoder::Event::Rejection) << heard;
    EXPECT_TRUE(finals[1].continuation) << heard;
    EXPECT_EQ(phraseOf(finals[1]), 5) << "the phrase itself was heard";
    for (int i : {0, 2, 3, 4}) {
        EXPECT_EQ(finals[i].kind, SphinxDecoder::Event::Recognition) << heard;
        EXPECT_FALSE(finals[i].continuation) << heard;
    }
    EXPECT_EQ(phraseOf(finals[2]), 5);
    EXPECT_EQ(phraseOf(finals[4]), 5);
}

CompiledGrammar dictationGrammar(const QStringList& wholePhrases = {}) {
    CompiledGrammar g = compileCommandGrammar(wholePhrases);
    for (CompiledPhrase& p : g.phrases)
        p.grammarId = 1;
    g.dictation = true;
    g.dictationGrammarId = 1;
    return g;
}

TEST(SphinxDecoder, CommandsAreHeardAgainAfterDictation) {
    // Dictation runs no phone loop; when commands come back, the grammar must still be judged against the
    // phone loop's reading of the same stretch of audio.
    SphinxDecoder decoder;
    decoder.setGrammar(compileCommandGrammar(kPhrases));
    const QByteArray gap = silence(1500);
    ASSERT_EQ(decode(decoder, gap + speechOf("volume up") + gap).value(0).kind,
              SphinxDecoder::Event::Recognition);
    decoder.setGrammar(dictationGrammar());
    const auto dictated = decode(decoder, speechOf("the weather is nice today") + gap);
    ASSERT_EQ(dictated.size(), 1);
    EXPECT_EQ(dictated[0].result.GrammarId(), 1);
    decoder.setGrammar(compileCommandGrammar(kPhrases));
    const auto finals = decode(decoder, gap + speechOf("open calculator") + gap);
    ASSERT_EQ(finals.size(), 1);
    EXPECT_EQ(finals[0].kind, SphinxDecoder::Event::Recognition) << finals[0].utteranceScore;
    EXPECT_EQ(phraseOf(finals[0]), 2);
}

TEST(SphinxDecoder, WhileDictatingItsPhrasesAreHeardWhole) {
    // Free dictation reads "stop dictation" as whatever words fit its language model; a phrase of the
    // dictation grammar said on its own comes back exactly as written, and sentences stay dictation.
    SphinxDecoder decoder;
    decoder.setGrammar(dictationGrammar({"stop dictation", "take a note"}));
    const QByteArray gap = silence(1500);
    const auto finals =
        decode(decoder, gap + speechOf("the weather is nice today") + gap + speechOf("stop dictation") + gap +
                            speechOf("please stop the dictation of this letter") + gap +
                            speechOf("take a note") + gap);
    ASSERT_EQ(finals.size(), 4);
    for (const auto& e : finals) {
        EXPECT_EQ(e.kind, SphinxDecoder::Event::Recognition);
        EXPECT_EQ(e.result.GrammarId(), 1);
    }
    EXPECT_NE(finals[0].result.GetText(), "stop dictation");
    EXPECT_EQ(finals[1].result.GetText(), "stop dictation");
    EXPECT_NE(finals[2].result.GetText(), "stop dictation") << "a sentence around the phrase stays dictation";
    EXPECT_EQ(finals[3].result.GetText(), "take a note");
    EXPECT_EQ(phraseOf(finals[3]), 1);
}

TEST(SphinxDecoder, TheShippedStatePhrasesAreHeardRightAsTheFirstWordsAfterStartUp) {
    // A new user's first sentence meets the model's own normalisation; each phrase said first by each
    // voice must still be the one recognised (a fresh decoder per try, as a fresh start of the program).
    QFile brain(QZ_CONTENT_DIR "/data/brain.qzb");
    ASSERT_TRUE(brain.open(QIODevice::ReadOnly));
    QStringList states;
    for (const QByteArray& record : brain.readAll().split('\n').mid(0, 3))
        states << QString::fromUtf8(record.split('|').first()).trimmed();
    const CompiledGrammar grammar = compileCommandGrammar(states);
    const QByteArray gap = silence(1000);
    for (const char* voice : {"en-us", "en-us+f2", "gmw/en", "en-gb-scotland+m3"})
        for (int i = 0; i < states.size(); ++i) {
            SphinxDecoder decoder;
            decoder.setGrammar(grammar);
            const auto finals = decode(decoder, gap + speechOf(states[i], voice, 165) + gap);
            ASSERT_EQ(finals.size(), 1) << voice << " " << states[i].toStdString();
            EXPECT_EQ(finals[0].kind, SphinxDecoder::Event::Recognition)
                << voice << " " << states[i].toStdString();
            EXPECT_EQ(phraseOf(finals[0]), i) << voice << " " << states[i].toStdString();
        }
}
