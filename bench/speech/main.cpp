// qz-speech-bench --set DIR [--strictness X] [--jobs N]
// Builds the speech benchmark set (once) and prints: share of commands recognised as the right phrase,
// share of non-commands rejected, end-of-speech-to-event delay, real-time factor and CPU while listening
// to silence; then the same figures for each rejection method compared, at its best threshold.

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <numeric>
#include <random>
#include <thread>

#include "bench/speech/BenchSet.h"
#include "platform/audio/AudioError.h"
#include "platform/audio/WavFile.h"
#include "platform/speech/SpeechError.h"
#include "platform/speech/SphinxDecoder.h"
#include "tools/qz-recognize/GrammarCompiler.h"
#include "tools/qz-recognize/SpeechTiming.h"

using namespace qz;
using namespace qz::bench;

namespace {

struct Final {
    int phrase = -1;
    bool accepted = false; // by the decoder at the chosen strictness
    double utterance = 0, worst = 0, latencyMs = 0, noiseDb = 0;
    int unexplained = 0;
    QString words;
};

struct Outcome {
    QList<Final> finals;
    double cpuMs = 0, audioMs = 0;
};

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double percentile(QList<double> v, double p) {
    if (v.isEmpty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min<qsizetype>(v.size() - 1, qsizetype(p * (v.size() - 1) + 0.5))];
}

// A rejection rule: which final results it accepts.
using Rule = std::function<bool(const Final&)>;

struct Figures {
    double commands[3] = {}, sentences[3] = {}, nearMisses[3] = {}; // by condition: quiet, 15 dB, 5 dB
};

int conditionIndex(int snr) {
    return snr == 0 ? 0 : snr == 15 ? 1 : 2;
}

Figures score(const QList<Recording>& set, const QList<Outcome>& outcomes, const Rule& accept) {
    int right[3] = {}, total[3][3] = {}, rejected[3][3] = {};
    for (int i = 0; i < set.size(); ++i) {
        const int c = conditionIndex(set[i].snr), k = int(set[i].kind);
        ++total[k][c];
        const Final* first = nullptr;
        for (const Final& f : outcomes[i].finals)
            if (accept(f)) {
                first = &f;
                break;
            }
        if (set[i].kind == Kind::Command)
            right[c] += first && first->phrase == set[i].phrase;
        else
            rejected[k][c] += !first;
    }
    Figures f;
    for (int c = 0; c < 3; ++c) {
        f.commands[c] = total[0][c] ? 100.0 * right[c] / total[0][c] : 0;
        f.sentences[c] = total[1][c] ? 100.0 * rejected[1][c] / total[1][c] : 0;
        f.nearMisses[c] = total[2][c] ? 100.0 * rejected[2][c] / total[2][c] : 0;
    }
    return f;
}

void printFigures(const char* name, const Figures& f) {
    std::printf("%-34s %6.1f %6.1f %6.1f | %6.1f %6.1f %6.1f | %6.1f %6.1f %6.1f\n", name, f.commands[0],
                f.commands[1], f.commands[2], f.sentences[0], f.sentences[1], f.sentences[2], f.nearMisses[0],
                f.nearMisses[1], f.nearMisses[2]);
}

// The threshold at which a rule keeps at least `floor` % of quiet commands right while rejecting the most
// quiet non-commands; the sweep covers the range the scores take.
double bestThreshold(const QList<Recording>& set, const QList<Outcome>& outcomes,
                     const std::function<Rule(double)>& rule, double floor) {
    double best = -1e9, bestReject = -1;
    for (double t = -300; t <= 0; t += 2) {
        const Figures f = score(set, outcomes, rule(t));
        const double reject = f.sentences[0] + f.nearMisses[0];
        if (f.commands[0] >= floor && reject > bestReject) bestReject = reject, best = t;
    }
    if (bestReject < 0) { // nothing reaches the floor: take the loosest
        best = -300;
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QString folder;
    SphinxSettings settings;
    int jobs = 2;
    int onlySnr = -1; // experiments: one condition only
    QString dumpPath; // experiments: every final result's scores, one line each
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == "--set" && i + 1 < args.size())
            folder = args[++i];
        else if (args[i] == "--strictness" && i + 1 < args.size())
            settings.strictness = args[++i].toDouble();
        else if (args[i] == "--jobs" && i + 1 < args.size())
            jobs = std::max(1, args[++i].toInt());
        else if (args[i] == "--snr" && i + 1 < args.size())
            onlySnr = args[++i].toInt();
        else if (args[i] == "--dump" && i + 1 < args.size())
            dumpPath = args[++i];
    }
    if (folder.isEmpty()) {
        std::fprintf(stderr, "usage: qz-speech-bench --set DIR [--strictness X] [--jobs N]\n");
        return 2;
    }
    try {
        const Phrases phrases = loadPhrases(QZ_BENCH_SOURCE_DIR);
        QElapsedTimer clock;
        clock.start();
        QList<Recording> set = buildSet(folder, phrases);
        if (onlySnr >= 0) set.removeIf([onlySnr](const Recording& r) { return r.snr != onlySnr; });
        std::printf(
            "set: %lld recordings (%d commands, %d sentences, %d near misses; 6 voices, 2 speeds; quiet, "
            "15 dB, 5 dB SNR) ready in %.1f s\n",
            (long long)set.size(), int(phrases.commands.size()), int(phrases.sentences.size()),
            int(phrases.nearMisses.size()), clock.elapsed() / 1000.0);
        const CompiledGrammar grammar = compileCommandGrammar(phrases.commands);

        clock.restart();
        QList<Outcome> outcomes(set.size());
        // Each condition is its own stream, as a user's room stays quiet or noisy; each thread decodes a
        // fixed share in a fixed order, so that a run's figures do not depend on thread timing (the
        // decoder's cepstral mean carries over from one recording to the next).
        QList<int> order(set.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return conditionIndex(set[a].snr) < conditionIndex(set[b].snr);
        });
        std::atomic<bool> failed{false};
        QString failure;
        auto work = [&](int share) {
            try {
                std::unique_ptr<SphinxDecoder> decoder;
                int condition = -1;
                for (int k = share; k < order.size(); k += jobs) {
                    const int i = order[k];
                    if (!decoder || conditionIndex(set[i].snr) != condition) {
                        decoder = std::make_unique<SphinxDecoder>(settings);
                        decoder->setGrammar(grammar);
                        condition = conditionIndex(set[i].snr);
                    }
                    const QByteArray samples = readWav(set[i].path).samples;
                    const double cpu0 = threadCpuMs();
                    const TimedRun run = runTimed(*decoder, samples);
                    Outcome& o = outcomes[i];
                    o.cpuMs = threadCpuMs() - cpu0;
                    o.audioMs = run.audioMs;
                    for (const TimedEvent& t : run.events) {
                        if (t.event.kind == SphinxDecoder::Event::Hypothesis) continue;
                        Final f;
                        f.phrase = t.event.result.Properties(1).Children(0).Id();
                        f.accepted = t.event.kind == SphinxDecoder::Event::Recognition;
                        f.utterance = t.event.utteranceScore;
                        f.worst = t.event.worstWordScore;
                        f.unexplained = t.event.unexplainedFrames;
                        f.latencyMs = t.atMs - run.speechEndMs;
                        f.noiseDb = t.event.noiseLevelDb;
                        for (const auto& [frames, diff] : t.event.wordScores)
                            f.words += QString(",%1/%2").arg(frames).arg(diff, 0, 'f', 0);
                        o.finals << f;
                    }
                }
            } catch (const SpeechError& e) {
                failed = true;
                failure = e.message();
            } catch (const AudioError& e) {
                failed = true;
                failure = e.message();
            }
        };
        std::vector<std::thread> threads;
        for (int j = 0; j < jobs; ++j)
            threads.emplace_back(work, j);
        for (auto& t : threads)
            t.join();
        if (failed) throw SpeechError(failure);
        const double wall = clock.elapsed() / 1000.0;

        if (!dumpPath.isEmpty()) {
            FILE* dump = std::fopen(qPrintable(dumpPath), "w");
            for (int i = 0; dump && i < set.size(); ++i) {
                std::fprintf(dump, "%s\t%d\t%d\t%d\t%s", qPrintable(set[i].path), int(set[i].kind),
                             set[i].phrase, set[i].snr, qPrintable(set[i].text));
                for (const Final& f : outcomes[i].finals)
                    std::fprintf(dump, "\t%d:%.1f:%.1f:%.0f:%.1f:%s:%d", f.phrase, f.utterance, f.worst,
                                 f.latencyMs, f.noiseDb, qPrintable(f.words.mid(1)), f.unexplained);
                std::fprintf(dump, "\n");
            }
            if (dump) std::fclose(dump);
        }

        double cpu = 0, audio = 0;
        QList<double> latencies;
        for (int i = 0; i < set.size(); ++i) {
            cpu += outcomes[i].cpuMs;
            audio += outcomes[i].audioMs;
            if (set[i].kind == Kind::Command && set[i].snr == 0)
                for (const Final& f : outcomes[i].finals)
                    if (f.accepted) {
                        latencies << f.latencyMs;
                        break;
                    }
        }

        // Listening to silence: digital silence, then a quiet room (pink noise at about -60 dBFS).
        SphinxDecoder idle(settings);
        idle.setGrammar(grammar);
        std::mt19937 random(7);
        std::normal_distribution<double> hiss(0, 20);
        std::vector<int16_t> quiet(16000 * 30);
        for (size_t i = 0; i < quiet.size(); ++i)
            quiet[i] = i < quiet.size() / 2 ? 0 : int16_t(hiss(random));
        const double idle0 = threadCpuMs();
        for (size_t i = 0; i < quiet.size(); i += 320)
            idle.process(quiet.data() + i, 320);
        const double idleCpu = threadCpuMs() - idle0;

        std::printf("\nshipped recogniser, strictness %.2f (%% of recordings):\n", settings.strictness);
        std::printf("%-34s %20s | %20s | %20s\n", "", "commands right", "sentences rejected",
                    "near misses rejected");
        std::printf("%-34s %6s %6s %6s | %6s %6s %6s | %6s %6s %6s\n", "", "quiet", "15dB", "5dB", "quiet",
                    "15dB", "5dB", "quiet", "15dB", "5dB");
        printFigures("shipped", score(set, outcomes, [](const Final& f) { return f.accepted; }));
        std::printf("end of speech to event (quiet commands): median %.0f ms, 95th percentile %.0f ms\n",
                    percentile(latencies, 0.5), percentile(latencies, 0.95));
        std::printf("real-time factor: %.3f (CPU per second of audio, one core); %.1f s wall on %d threads\n",
                    cpu / audio, wall, jobs);
        std::printf("CPU while listening to silence: %.2f %% of one core\n", 100.0 * idleCpu / 30000.0);

        // Each method at the threshold that costs at most 1.5 points of quiet commands against no rejection.
        const Figures plain = score(set, outcomes, [](const Final&) { return true; });
        const double floor = plain.commands[0] - 1.5;
        std::printf("\nrejection methods compared (threshold chosen for >= %.1f %% quiet commands right):\n",
                    floor);
        printFigures("plain grammar (no rejection)", plain);
        const auto utterance = [](double t) {
            return Rule([t](const Final& f) { return f.utterance >= t; });
        };
        const auto worst = [](double t) { return Rule([t](const Final& f) { return f.worst >= t; }); };
        const double tu = bestThreshold(set, outcomes, utterance, floor);
        const double tw = bestThreshold(set, outcomes, worst, floor);
        char name[96];
        std::snprintf(name, sizeof name, "utterance vs phone loop >= %.0f", tu);
        printFigures(name, score(set, outcomes, utterance(tu)));
        std::snprintf(name, sizeof name, "worst word vs phone loop >= %.0f", tw);
        printFigures(name, score(set, outcomes, worst(tw)));
        double bestU = tu, bestW = -300, bestReject = -1;
        for (double a = tu; a <= 0; a += 2)
            for (double b = -300; b <= 0; b += 4) {
                const Figures f =
                    score(set, outcomes, [a, b](const Final& x) { return x.utterance >= a && x.worst >= b; });
                if (f.commands[0] >= floor && f.sentences[0] + f.nearMisses[0] > bestReject)
                    bestReject = f.sentences[0] + f.nearMisses[0], bestU = a, bestW = b;
            }
        std::snprintf(name, sizeof name, "both: utt >= %.0f and word >= %.0f", bestU, bestW);
        printFigures(name, score(set, outcomes,
                                 [&](const Final& x) { return x.utterance >= bestU && x.worst >= bestW; }));
        const auto unexplained = [](double t) {
            return Rule([t](const Final& f) { return -f.unexplained >= t; });
        };
        const double tx = bestThreshold(set, outcomes, unexplained, floor);
        std::snprintf(name, sizeof name, "unexplained speech <= %.0f frames", -tx);
        printFigures(name, score(set, outcomes, unexplained(tx)));
        // The shipped thresholds at strictness 0.5, without following the noise level.
        printFigures("utt, word and unexplained, fixed", score(set, outcomes, [](const Final& x) {
                         return x.utterance >= -26 && x.worst >= -70 && x.unexplained <= 26;
                     }));
        return 0;
    } catch (const std::runtime_error& e) {
        // The set could not be made or read (SpeechError, AudioError).
        std::fprintf(stderr, "qz-speech-bench: %s\n", e.what());
        return 1;
    }
}
