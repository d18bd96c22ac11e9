#pragma once
// Runs the benchmark's tests through the program's own decoder on a simulated microphone clock. A unit
// of work is one speaker in one room: a decoder as newly made hears a run of tests one after another (its
// normalisation carrying over, as a user's would), so units can run on any thread in any order and the
// figures repeat.

#include <functional>

#include <QList>
#include <QString>

#include "bench/speech/BenchSet.h"
#include "platform/speech/SphinxDecoder.h"

namespace qz::bench {

// One final result (recognition or rejection) of the decoder.
struct Final {
    int phrase = -1;
    bool accepted = false;
    double speechEndMs = 0; // as the decoder saw it, in the unit's stream time
    double latencyMs = 0;   // from the end of the speech to the event
    SphinxDecoder::Event event;
};

// A test's audio and what it says; `speechEndMs` counts from the start of `audio`.
struct Test {
    std::vector<int16_t> audio;
    double speechEndMs = 0;
};

struct Unit {
    QString name;
    bool startup = false; // the shipped state phrases are the grammar, as in a fresh program folder
    std::function<QList<Test>()> tests; // made on the worker thread, one unit at a time
    QList<QList<Final>> finals;         // per test
    double cpuMs = 0, audioMs = 0;
};

// Decodes every unit on `jobs` threads, each with a decoder as newly made; `makeDecoder` gives one with
// the unit's grammar set.
// Throws SpeechError when a decoder cannot be made.
void decodeUnits(QList<Unit>& units, int jobs,
                 const std::function<std::unique_ptr<SphinxDecoder>(const Unit&)>& makeDecoder);

} // namespace qz::bench
