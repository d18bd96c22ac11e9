#pragma once
// Plays a buffer of 16 kHz audio (e.g. a WAV file) into the recogniser in 20 ms chunks, either paced as
// a microphone would be or as fast as the receiver takes it; then some silence, then finished().

#include <QTimer>

#include "AudioInput.h"

namespace qz {

class BufferAudioInput : public AudioInput {
    Q_OBJECT
public:
    explicit BufferAudioInput(QByteArray samples = {}, bool realTime = true, QObject* parent = nullptr);

    void setSamples(const QByteArray& samples) {
        samples_ = samples;
        offset_ = 0;
    }
    // Appends audio while running (a stream).
    void append(const QByteArray& samples) { samples_.append(samples); }
    void setTrailingSilenceMs(int ms) { trailingSilenceMs_ = ms; }

    bool start() override;
    void stop() override;
    QString errorString() const override { return {}; }

private:
    void tick();

    QByteArray samples_;
    qsizetype offset_ = 0;
    bool realTime_;
    int trailingSilenceMs_ = 600;
    QTimer timer_;
};

} // namespace qz
