#include "tools/qz-recognize/SpeechTiming.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cmath>
#include <vector>

namespace qz {

double endOfSpeechMs(const QByteArray& samples16k) {
    const auto* s = reinterpret_cast<const int16_t*>(samples16k.constData());
    const qsizetype n = samples16k.size() / 2;
    const int frame = 160; // 10 ms
    std::vector<double> db;
    for (qsizetype i = 0; i + frame <= n; i += frame) {
        double e = 0;
        for (int k = 0; k < frame; ++k)
            e += double(s[i + k]) * s[i + k];
        db.push_back(10 * std::log10(e / frame + 1.0));
    }
    if (db.empty()) return 0;
    std::vector<double> sorted = db;
    std::sort(sorted.begin(), sorted.end());
    const double floor = sorted[sorted.size() / 10], peak = sorted.back();
    const double threshold = floor + std::max(6.0, 0.25 * (peak - floor));
    for (qsizetype i = qsizetype(db.size()) - 1; i >= 0; --i)
        if (db[size_t(i)] >= threshold) return double(i + 1) * 10.0;
    return 0;
}

TimedRun runTimed(SphinxDecoder& decoder, const QByteArray& samples16k, int trailingSilenceMs) {
    TimedRun run;
    run.speechEndMs = endOfSpeechMs(samples16k);
    QByteArray audio = samples16k;
    audio.append(QByteArray(qsizetype(trailingSilenceMs) * 32, 0));
    const auto* s = reinterpret_cast<const int16_t*>(audio.constData());
    const qsizetype n = audio.size() / 2;
    const qsizetype chunk = 320; // 20 ms
    const double base = decoder.positionMs();
    double free = 0; // when the decoder is done with the previous chunk
    QElapsedTimer clock;
    for (qsizetype i = 0; i < n; i += chunk) {
        const qsizetype count = std::min(chunk, n - i);
        const double arrives = double(i + count) / 16.0;
        clock.start();
        QList<SphinxDecoder::Event> events = decoder.process(s + i, size_t(count));
        const double spent = double(clock.nsecsElapsed()) / 1e6;
        run.cpuMs += spent;
        free = std::max(free, arrives) + spent;
        for (SphinxDecoder::Event& e : events) {
            e.speechEndMs -= qint64(base);
            run.events << TimedEvent{e, free};
        }
    }
    clock.start();
    for (SphinxDecoder::Event& e : decoder.finish())
        run.events << TimedEvent{e, free + double(clock.nsecsElapsed()) / 1e6};
    run.audioMs = double(n) / 16.0;
    return run;
}

} // namespace qz
