#pragma once
// The recognition core on PocketSphinx, with no threads of its own: fed 16 kHz audio in chunks, it cuts
// the stream into utterances and reports hypotheses and final results. A command grammar is decoded
// by two searches at once, the grammar and a free phone loop over the same audio; a result is accepted
// only when the grammar path scores close enough to the phone loop (see README.md). Used by the program's
// recogniser on its worker thread and, unchanged, by qz-recognize and the benchmark.

#include <cstdint>
#include <memory>
#include <vector>

#include <QList>
#include <QString>

#include "platform/speech/CompiledGrammar.h"
#include "platform/speech/RecoResult.h"

namespace qz {

struct SphinxSettings {
    QString modelDir = "/usr/share/pocketsphinx/model/en-us";
    // 0 accepts nearly anything that fits the grammar, 1 only clear matches; see README.md.
    double strictness = 0.5;
    // Trailing silence that ends an utterance.
    int commandSilenceMs = 250;
    int dictationSilenceMs = 700;
    // An utterance longer than this is cut and decoded at once, so a long stream is never merged.
    int maxUtteranceMs = 10000;
    // How often a running hypothesis is reported while speech goes on.
    int hypothesisIntervalMs = 200;
    // Decode the first utterance after start-up, and the first after the room's noise changed (or every
    // utterance), a second time with the cepstral mean their own speech sets (see README.md).
    enum class SecondPass { Never, AfterChange, Always };
    SecondPass secondPass = SecondPass::AfterChange;
    // At most how many frames of past speech the running cepstral mean weighs against a new utterance's
    // (0: the library's own, 500 to 800).
    int normalisationMemoryFrames = 0;
    // A sentence with a pause in it reaches the decoder as several utterances, and one of its parts may
    // sound like a phrase. An utterance that begins less than this long after the end of one that was
    // not accepted, and that held at least `continuationSpeechMs` of speech, is heard as its continuation
    // and not accepted either (0: off). Both are measured between the voice-activity detector's marks,
    // which lag the speech: 800 ms is a pause of about 0.6 s.
    int continuationGapMs = 800;
    int continuationSpeechMs = 500;
    // Where the recogniser keeps its normalisation between runs (empty: nowhere); see PocketSphinxRecognizer.
    QString normalisationFile;
};

class SphinxDecoder {
public:
    struct Event {
        enum Kind { Hypothesis, Recognition, Rejection };
        Kind kind = Hypothesis;
        RecoResult result;      // Rejection: the phrase that was rejected, with its score
        qint64 speechEndMs = 0; // stream time of the end of speech (Recognition and Rejection)
        // Acceptance measures of a command result (see README.md): against the phone loop, per frame over
        // the whole utterance and of the worst-matching word; and the frames of speech that the grammar
        // path passes over as silence.
        double utteranceScore = 0;
        double worstWordScore = 0;
        int unexplainedFrames = 0;
        int frames = 0;
        double noiseLevelDb = 0;   // background level before the speech (dB of mean square sample value)
        bool continuation = false; // rejected as the continuation of a sentence (see SphinxSettings)
        QList<QPair<int, double>> wordScores; // per word: frames, summed score against the phone loop
    };

    // Loads the acoustic model, dictionary and language model. Throws SpeechError naming what is missing.
    explicit SphinxDecoder(const SphinxSettings& settings = {});
    ~SphinxDecoder();
    SphinxDecoder(const SphinxDecoder&) = delete;
    SphinxDecoder& operator=(const SphinxDecoder&) = delete;

    // Switches what is listened for, without reloading the model; words missing from the dictionary get
    // pronunciations from espeak-ng. Throws SpeechError when PocketSphinx refuses it (the old one stays).
    void setGrammar(const CompiledGrammar& grammar);
    void setStrictness(double strictness);
    double strictness() const;

    // Feeds samples; returns what they brought about, in order. Never throws.
    QList<Event> process(const int16_t* samples, size_t count);
    // Drops the utterance being heard without deciding it; returns whether it held speech.
    bool cancelUtterance();
    // Ends the stream: decodes any utterance still open.
    QList<Event> finish();
    // Milliseconds of audio fed so far.
    qint64 positionMs() const;

    // The running cepstral mean (the features' normalisation), to be kept for the next run; setting it
    // starts from that estimate instead of the model's own.
    std::vector<float> normalisation() const;
    void setNormalisation(const std::vector<float>& mean);
    // Forgets what the stream taught it (normalisation, background), as if newly made with its grammar.
    void reset();
    // Whether speech has set the normalisation since the decoder was made.
    bool heardSpeech() const;

    // The pronunciation used for a word (model phones, space-separated), or empty.
    QString pronunciation(const QString& word) const;

    struct Impl;

private:
    std::unique_ptr<Impl> d;
};

} // namespace qz
