#include "bench/speech/Decoding.h"

#include <atomic>
#include <ctime>
#include <thread>

#include "platform/speech/SpeechError.h"
#include "tools/qz-recognize/SpeechTiming.h"

namespace qz::bench {

namespace {

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

void decodeUnit(Unit& unit, SphinxDecoder& decoder) {
    const QList<Test> tests = unit.tests();
    for (const Test& test : tests) {
        const QByteArray bytes(reinterpret_cast<const char*>(test.audio.data()),
                               qsizetype(test.audio.size() * 2));
        const double cpu0 = threadCpuMs();
        const TimedRun run = runTimed(decoder, bytes, 0);
        unit.cpuMs += threadCpuMs() - cpu0;
        unit.audioMs += run.audioMs;
        QList<Final> finals;
        for (const TimedEvent& t : run.events) {
            if (t.event.kind == SphinxDecoder::Event::Hypothesis) continue;
            Final f;
            f.phrase = t.event.result.Properties(1).Children(0).Id();
            f.accepted = t.event.kind == SphinxDecoder::Event::Recognition;
            f.speechEndMs = double(t.event.speechEndMs);
            f.latencyMs = t.atMs - test.speechEndMs;
            f.event = t.event;
            finals << f;
        }
        unit.finals << finals;
    }
}

} // namespace

void decodeUnits(QList<Unit>& units, int jobs,
                 const std::function<std::unique_ptr<SphinxDecoder>(const Unit&)>& makeDecoder) {
    std::atomic<int> next{0};
    std::atomic<bool> failed{false};
    QString failure;
    auto work = [&] {
        try {
            // A unit after start-up gets a decoder newly made; the others share one per thread, reset for
            // each unit (loading one costs more than many a unit's decoding).
            std::unique_ptr<SphinxDecoder> shared;
            for (int i = next++; i < units.size() && !failed; i = next++) {
                if (units[i].startup) {
                    decodeUnit(units[i], *makeDecoder(units[i]));
                    continue;
                }
                if (!shared) shared = makeDecoder(units[i]);
                shared->reset();
                decodeUnit(units[i], *shared);
            }
        } catch (const SpeechError& e) {
            failure = e.message();
            failed = true;
        }
    };
    std::vector<std::thread> threads;
    for (int j = 0; j < jobs; ++j)
        threads.emplace_back(work);
    for (auto& t : threads)
        t.join();
    if (failed) throw SpeechError(failure);
}

} // namespace qz::bench
