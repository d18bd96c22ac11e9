#pragma once
// Feeds a recording to a SphinxDecoder in 20 ms chunks as a microphone would, on a simulated clock:
// each chunk arrives when its audio has been heard, and is decoded once the decoder is free. This gives
// the delay from the end of speech to each event that a live microphone would see, on this machine.

#include <QByteArray>
#include <QList>

#include "platform/speech/SphinxDecoder.h"

namespace qz {

struct TimedEvent {
    SphinxDecoder::Event event;
    double atMs = 0; // simulated wall time of the event, counted from the start of the recording
};

struct TimedRun {
    QList<TimedEvent> events;
    double speechEndMs = 0; // end of speech, found from the recording's loudness
    double audioMs = 0;
    double cpuMs = 0; // time spent decoding
};

TimedRun runTimed(SphinxDecoder& decoder, const QByteArray& samples16k, int trailingSilenceMs = 800);
// The end of the last loud stretch of a recording, in ms (the noise floor is estimated from the quietest
// tenth of the frames).
double endOfSpeechMs(const QByteArray& samples16k);

} // namespace qz
