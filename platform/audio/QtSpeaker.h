#pragma once
// The default audio output through Qt Multimedia's QAudioSink; without an output device it times the
// audio silently (TimedSilentOutput) and says so in errorString(). Use from one thread only.

#include <memory>

#include "platform/audio/AudioOutput.h"

namespace qz {

class QtSpeaker : public AudioOutput {
public:
    QtSpeaker();
    ~QtSpeaker() override;
    void play(const QByteArray& samples, int sampleRate, const Progress& progress) override;
    QString errorString() const override { return error_; }

private:
    QString error_;
    TimedSilentOutput silent_;
};

} // namespace qz
