#pragma once
// Where synthesised speech is played. play() blocks the calling (synthesis) thread until the audio has
// been heard, reporting progress so the caller can follow phonemes and cancel.

#include <functional>

#include <QByteArray>
#include <QString>

namespace qz {

class AudioOutput {
public:
    virtual ~AudioOutput() = default;
    // Called with the milliseconds heard so far; returning false stops playback at once.
    using Progress = std::function<bool(qint64 playedMs)>;
    // Plays 16-bit mono samples at `sampleRate`; returns when played or cancelled.
    virtual void play(const QByteArray& samples, int sampleRate, const Progress& progress) = 0;
    // Empty when a device plays the audio; otherwise why speech is only timed.
    virtual QString errorString() const = 0;
};

// Plays nothing but takes as long as the audio lasts, so every event still comes at its time.
class TimedSilentOutput : public AudioOutput {
public:
    explicit TimedSilentOutput(QString reason = {}) : reason_(std::move(reason)) {}
    void play(const QByteArray& samples, int sampleRate, const Progress& progress) override;
    QString errorString() const override { return reason_; }

private:
    QString reason_;
};

} // namespace qz
