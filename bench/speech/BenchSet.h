#pragma once
// The speech benchmark's recordings. Clean takes (a phrase said by one speaker) are synthesised once into
// the build folder; noise is mixed in when a test is run, from fixed seeds, so every run hears the same
// audio. Two sets: "tuned", on which thresholds and methods are chosen, and "held-out", with other
// speakers, other sentences and near misses, and other noise seeds, which no choice ever looked at.

#include <cstdint>
#include <vector>

#include <QList>
#include <QString>
#include <QStringList>

#include "bench/speech/Noise.h"

namespace qz::bench {

enum class Kind { Command, Sentence, NearMiss };
// What a take is for: the steady-condition tables, the streams whose noise changes, or the first words
// after start-up (the shipped state phrases, once per speaker).
enum class Use { Steady, Stream, Startup };

struct Take {
    QString path;
    Kind kind = Kind::Command;
    Use use = Use::Steady;
    int phrase = -1; // commands: index into the grammar's phrases (state phrases for Use::Startup)
    QString text;
    int speaker = 0; // index into the set's speakers
    bool heldOut = false;
};

struct Phrases {
    QStringList commands;                      // the grammar of the steady and stream tests
    QStringList sentences[2], nearMisses[2];   // [0] tuned, [1] held-out
    QStringList statePhrases, stateNearMisses; // the shipped activate/deactivate/sleep phrases
};

struct Condition {
    Colour colour = Colour::None;
    int snr = 0; // dB; unused when quiet
    QString name() const;
    bool operator==(const Condition&) const = default;
};

// Quiet, then white, pink and brown noise at 20, 15, 10 and 5 dB.
QList<Condition> steadyConditions();

// `benchDir`: the folder with the phrase lists; `programContent`: the repository's content/ folder.
Phrases loadPhrases(const QString& benchDir, const QString& programContent);
// Synthesises into `folder` the takes it does not hold yet (its manifest lists what it holds); returns
// every take.
// Throws SpeechError when a synthesiser or sox cannot make them.
QList<Take> buildTakes(const QString& folder, const Phrases& phrases);

// One test: a take in a condition, with a second of the room before it and 0.6 s after it.
struct Mixed {
    std::vector<int16_t> audio;
    double speechEndMs = 0; // end of the take's speech in `audio`
};
Mixed mix(const std::vector<int16_t>& clean, const Condition& condition, uint32_t seed);
std::vector<int16_t> loadTake(const Take& take);

// A continuous stream as a microphone delivers it: one speaker's commands with pauses, the room's noise
// changing colour and level between them, always with at least 2 s of the new noise before the next
// command.
struct StreamCommand {
    int phrase = -1;
    double startMs = 0, endMs = 0; // the speech, in stream time
    Condition condition;
    int sinceChange = 0; // 0 for the first command after a change of noise
    bool firstSegment = false;
};
struct Stream {
    QString speaker;
    bool heldOut = false;
    std::vector<int16_t> audio;
    QList<StreamCommand> commands;
};
QList<Stream> buildStreams(const QList<Take>& takes);

} // namespace qz::bench
