#pragma once
// The voice backend on espeak-ng: texts are synthesised and played one after another on a worker thread
// through an AudioOutput; events come back to the UI thread. espeak-ng is one instance per process, so
// make only one of these. Never throws from its constructor: without espeak-ng data status() says why and
// speech is timed silently.

#include <memory>

#include <QThread>

#include "platform/speech/Synthesizer.h"

namespace qz {

class AudioOutput;
class EspeakWorker;

class EspeakSynthesizer : public Synthesizer {
    Q_OBJECT
public:
    // Takes the output (a QtSpeaker, or a TimedSilentOutput in tests).
    explicit EspeakSynthesizer(std::unique_ptr<AudioOutput> output, QObject* parent = nullptr);
    ~EspeakSynthesizer() override;

    QList<VoiceToken> voices() const override { return voices_; }
    QString status() const override;
    void enqueue(const SpeechRequest& request) override;
    void waitUntilDone(quintptr owner, int streamNumber) override;
    void purge(quintptr owner) override;
    QString currentPhoneme() const override;

    // Synthesises to 16-bit mono PCM at sampleRate() without playing (for test and benchmark sets); voice
    // ids may carry an espeak-ng variant ("en-us+f2").
    // Throws SpeechError when espeak-ng is unavailable or the voice is unknown.
    QByteArray synthesize(const QString& text, const VoiceToken& voice, int wordsPerMinute = 175);
    int sampleRate() const;

private:
    std::shared_ptr<EspeakWorker> worker_;
    QThread* threadHandle_ = nullptr;
    QList<VoiceToken> voices_;
};

} // namespace qz
