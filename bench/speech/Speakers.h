#pragma once
// The benchmark's speakers: voices of three synthesisers (espeak-ng, flite, festival), varied with sox in
// pitch, speed, formants (vocal-tract length) and room reverberation. The held-out speakers are never
// used to choose a threshold or a method; they show what a new voice gets.

#include <QByteArray>
#include <QList>
#include <QString>

namespace qz {
class EspeakSynthesizer;
}

namespace qz::bench {

struct Speaker {
    QString name;             // short label for the tables
    QString engine;           // "espeak", "flite" or "festival"
    QString voice;            // the engine's own voice name
    int wordsPerMinute = 160; // espeak only; the others speak at their own pace
    double pitchCents = 0;    // pitch shift
    double formant = 1.0;     // formant scale: above 1 a shorter vocal tract (higher, smaller voice)
    double tempo = 1.0;       // speaking rate factor
    int reverb = 0;           // sox reverberance 0..100 (0: dry)
};

const QList<Speaker>& tunedSpeakers();
const QList<Speaker>& heldOutSpeakers();

// The text said by the speaker: 16 kHz mono 16-bit samples. `scratch` is a folder for temporary files.
// Throws SpeechError when a synthesiser or sox is missing or fails.
QByteArray speak(const Speaker& speaker, const QString& text, EspeakSynthesizer& espeak,
                 const QString& scratch);

} // namespace qz::bench
