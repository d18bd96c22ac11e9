#pragma once
// The default audio input through Qt Multimedia, delivered as 16 kHz mono 16-bit (resampled and mixed
// down when the device cannot give that format).

#include <memory>

#include "platform/audio/AudioInput.h"

class QAudioSource;
class QIODevice;

namespace qz {

class QtMicrophone : public AudioInput {
    Q_OBJECT
public:
    explicit QtMicrophone(QObject* parent = nullptr);
    ~QtMicrophone() override;

    // False with "No microphone found" (or the device's error) when nothing can be recorded.
    bool start() override;
    void stop() override;
    QString errorString() const override { return error_; }

private:
    void readAvailable();

    std::unique_ptr<QAudioSource> source_;
    QIODevice* device_ = nullptr;
    int rate_ = kRecognitionSampleRate;
    int channels_ = 1;
    int sampleBytes_ = 2;
    bool isFloat_ = false;
    QString error_;
};

} // namespace qz
