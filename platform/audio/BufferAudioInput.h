#pragma once
// Plays a buffer of 16 kHz audio (e.g. a WAV file) into the recogniser in 20 ms chunks, either paced as
// a microphone would be or as fast as the receiver takes it; then some silence, then finished().

#include <QMutex>

#include "platform/audio/AudioInput.h"

class QTimer;

namespace qz {

class BufferAudioInput : public AudioInput {
    Q_OBJECT
public:
    explicit BufferAudioInput(QByteArray samples = {}, bool realTime = true, QObject* parent = nullptr);

    // Safe to call from any thread: the input usually lives on the recogniser's worker thread.
    void setSamples(const QByteArray& samples);
    // Appends audio while running (a stream); safe from any thread.
    void append(const QByteArray& samples);
    void setTrailingSilenceMs(int ms) { trailingSilenceMs_ = ms; }

    bool start() override;
    void stop() override;
    QString errorString() const override { return {}; }

private:
    void tick();

    mutable QMutex mutex_; // guards samples_ and offset_ against appends from other threads
    QByteArray samples_;
    qsizetype offset_ = 0;
    bool realTime_;
    int trailingSilenceMs_ = 600;
    // A child, so that it moves with this object to the thread that consumes the audio.
    QTimer* timer_;
};

} // namespace qz
