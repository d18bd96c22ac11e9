#pragma once
// Speech for the recogniser tests: espeak-ng (its American voice unless told), resampled to the
// recogniser's rate.

#include <memory>

#include <QByteArray>
#include <QString>

#include "platform/audio/AudioInput.h"
#include "platform/audio/AudioOutput.h"
#include "platform/audio/WavFile.h"
#include "platform/speech/EspeakSynthesizer.h"

namespace qz::testing {

inline QByteArray speechOf(const QString& text, const QString& voice = "en-us", int wordsPerMinute = 160) {
    static EspeakSynthesizer espeak(std::make_unique<TimedSilentOutput>());
    return resample(espeak.synthesize(text, VoiceToken{voice, "", voice}, wordsPerMinute),
                    espeak.sampleRate(), kRecognitionSampleRate);
}

} // namespace qz::testing
