#pragma once
// A synthesizer for engine tests: records each request as a line ("[speak flags=1] hello") and raises the
// stream events when the test moves speech on, or by itself after a simulated duration per word.

#include <QList>
#include <QStringList>
#include <QTimer>

#include "platform/speech/Synthesizer.h"

namespace qz {

class FakeSynthesizer : public Synthesizer {
    Q_OBJECT
public:
    // Three English voices, then a German and a French one, unless others are given.
    explicit FakeSynthesizer(QList<VoiceToken> voices = defaultVoices(), QObject* parent = nullptr);
    static QList<VoiceToken> defaultVoices();

    // "[speak flags=F] text" for each Speak, "[purge]" for each purge, in order.
    QStringList log() const { return log_; }
    void clearLog() { log_.clear(); }

    // Manual mode (the default). startNext raises StartStream of the next queued text; finishCurrent
    // raises EndStream of the one playing; finishAll plays out every queued text. Each returns false when
    // there was nothing to do.
    bool startNext();
    bool finishCurrent();
    bool finishAll();
    int pendingCount() const { return int(queue_.size()); }
    bool isPlaying() const { return playing_; }

    // Timed mode when ms > 0: each text starts as soon as the one before has ended (on the event loop) and
    // lasts ms per word (at least one word).
    void setMillisecondsPerWord(int ms);
    void setCurrentPhoneme(const QString& phoneme) { phoneme_ = phoneme; }
    void setStatus(const QString& status) { status_ = status; }

    QList<VoiceToken> voices() const override { return voices_; }
    QString status() const override { return status_; }
    void enqueue(const SpeechRequest& request) override;
    void waitUntilDone(quintptr owner, int streamNumber) override;
    void purge(quintptr owner) override;
    QString currentPhoneme() const override { return playing_ ? phoneme_ : QString(); }

private:
    void scheduleNext();

    QList<VoiceToken> voices_;
    QStringList log_;
    QList<SpeechRequest> queue_;
    SpeechRequest current_;
    bool playing_ = false;
    int msPerWord_ = 0;
    QTimer timer_;
    QString phoneme_ = "a";
    QString status_;
};

} // namespace qz
