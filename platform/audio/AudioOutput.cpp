#include "platform/audio/AudioOutput.h"

#include <QElapsedTimer>
#include <QThread>

namespace qz {

void TimedSilentOutput::play(const QByteArray& samples, int sampleRate, const Progress& progress) {
    const qint64 durationMs = sampleRate > 0 ? qint64(samples.size() / 2) * 1000 / sampleRate : 0;
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        const qint64 played = std::min(clock.elapsed(), durationMs);
        if (progress && !progress(played)) return;
        if (played >= durationMs) return;
        QThread::msleep(std::min<qint64>(10, durationMs - played));
    }
}

} // namespace qz
