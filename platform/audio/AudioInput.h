#pragma once
// A source of 16 kHz mono 16-bit audio (the microphone, a file, a test's buffer). Emits audio in chunks
// on the thread the source lives in.

#include <QByteArray>
#include <QObject>
#include <QString>

namespace qz {

constexpr int kRecognitionSampleRate = 16000;

class AudioInput : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Starts delivering audio. Returns false and sets errorString() when there is nothing to listen to.
    virtual bool start() = 0;
    virtual void stop() = 0;
    virtual QString errorString() const = 0;

signals:
    // Little-endian signed 16-bit samples, 16 kHz, mono.
    void audioReady(const QByteArray& samples);
    // The source has no more audio (end of a file); the microphone never finishes.
    void finished();
};

} // namespace qz
