#pragma once
// The speech benchmark's recordings: command phrases and non-command sentences said by several espeak-ng
// voices at two speeds, quiet and with sox-made noise mixed in at 15 and 5 dB SNR.

#include <QList>
#include <QString>
#include <QStringList>

namespace qz::bench {

enum class Kind { Command, Sentence, NearMiss };

struct Recording {
    QString path;
    Kind kind;
    int phrase = -1; // index into the commands for Kind::Command
    QString text;
    QString voice;
    int speed = 0;
    int snr = 0; // 0 = quiet
};

struct Phrases {
    QStringList commands, sentences, nearMisses;
};

Phrases loadPhrases(const QString& folder);
// Builds the set in `folder` unless its manifest is already there; returns every recording.
// Throws SpeechError when espeak-ng or sox cannot make it, AudioError when a recording cannot be written.
QList<Recording> buildSet(const QString& folder, const Phrases& phrases);

} // namespace qz::bench
