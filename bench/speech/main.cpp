// qz-speech-bench --set DIR [--strictness X] [--jobs N] [--only tuned|held-out] [--conditions a,b]
//                 [--no-streams] [--second-pass never|change|always] [--memory FRAMES]
//                 [--continuation-gap MS] [--content DIR] [--dump FILE]
// Builds the speech benchmark's takes (once), then prints by condition, for the tuned and the held-out
// set: commands recognised as the right phrase, sentences and near misses rejected; commands right after
// the room's noise changes; the shipped state phrases said first after start-up; end-of-speech-to-event
// delay, real-time factor and CPU while listening to silence; and the goals, judged on the held-out set.

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <map>
#include <random>

#include "bench/speech/BenchSet.h"
#include "bench/speech/Decoding.h"
#include "bench/speech/Speakers.h"
#include "platform/speech/SpeechError.h"
#include "tools/qz-recognize/GrammarCompiler.h"

using namespace qz;
using namespace qz::bench;

namespace {

struct Options {
    QString folder, dumpPath;
    SphinxSettings settings;
    int jobs = 2;
    int only = -1;          // 0 tuned, 1 held-out, -1 both
    QStringList conditions; // empty: all
    bool streams = true;
    QString content = QZ_CONTENT_DIR; // experiments: another program folder's state phrases
};

double percentile(QList<double> v, double p) {
    if (v.isEmpty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min<qsizetype>(v.size() - 1, qsizetype(p * double(v.size() - 1) + 0.5))];
}

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Right and total, printed as a percentage with its count.
struct Tally {
    int good = 0, total = 0;
    void add(bool ok) { good += ok, ++total; }
    void add(const Tally& t) { good += t.good, total += t.total; }
    double percent() const { return total ? 100.0 * good / total : 0; }
    QString text() const {
        return total ? QString("%1 (%2)").arg(percent(), 5, 'f', 1).arg(total, 3) : QString("    -      ");
    }
};

// The first accepted result of a test: the one the program would act on.
const Final* actedOn(const QList<Final>& finals) {
    for (const Final& f : finals)
        if (f.accepted) return &f;
    return nullptr;
}

struct Row {
    Tally commands, sentences, nearMisses;
};

QString compact(const QString& name) {
    return QString(name).remove(' ');
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Options o;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        const bool more = i + 1 < args.size();
        if (args[i] == "--set" && more)
            o.folder = args[++i];
        else if (args[i] == "--strictness" && more)
            o.settings.strictness = args[++i].toDouble();
        else if (args[i] == "--jobs" && more)
            o.jobs = std::max(1, args[++i].toInt());
        else if (args[i] == "--only" && more)
            o.only = args[++i] == "held-out" ? 1 : 0;
        else if (args[i] == "--conditions" && more)
            o.conditions = args[++i].split(',');
        else if (args[i] == "--no-streams")
            o.streams = false;
        else if (args[i] == "--second-pass" && more) {
            const QString v = args[++i];
            o.settings.secondPass = v == "never"    ? SphinxSettings::SecondPass::Never
                                    : v == "always" ? SphinxSettings::SecondPass::Always
                                                    : SphinxSettings::SecondPass::AfterChange;
        } else if (args[i] == "--memory" && more)
            o.settings.normalisationMemoryFrames = args[++i].toInt();
        else if (args[i] == "--continuation-gap" && more)
            o.settings.continuationGapMs = args[++i].toInt();
        else if (args[i] == "--dump" && more)
            o.dumpPath = args[++i];
        else if (args[i] == "--content" && more)
            o.content = args[++i];
    }
    if (o.folder.isEmpty()) {
        std::fprintf(stderr,
                     "usage: qz-speech-bench --set DIR [--strictness X] [--jobs N] [--only tuned|held-out]"
                     " [--conditions quiet,pink15,...] [--no-streams] [--second-pass never|change|always]"
                     " [--memory FRAMES] [--continuation-gap MS] [--content DIR] [--dump FILE]\n");
        return 2;
    }
    try {
        const Phrases phrases = loadPhrases(QZ_BENCH_SOURCE_DIR, o.content);
        QElapsedTimer clock;
        clock.start();
        const QList<Take> takes = buildTakes(o.folder, phrases);
        std::printf("takes: %lld (%lld tuned speakers, %lld held-out; %lld commands, %lld + %lld sentences, "
                    "%lld + %lld near misses) ready in %.1f s\n",
                    (long long)takes.size(), (long long)tunedSpeakers().size(),
                    (long long)heldOutSpeakers().size(), (long long)phrases.commands.size(),
                    (long long)phrases.sentences[0].size(), (long long)phrases.sentences[1].size(),
                    (long long)phrases.nearMisses[0].size(), (long long)phrases.nearMisses[1].size(),
                    clock.elapsed() / 1000.0);
        const CompiledGrammar commands = compileCommandGrammar(phrases.commands);
        const CompiledGrammar states = compileCommandGrammar(phrases.statePhrases);

        // The units: each steady condition of each set, each stream, and each start-up take.
        QList<Unit> units;
        struct SteadyUnit {
            int set;
            Condition condition;
            int speaker;
            QList<int> takes;
        };
        QList<SteadyUnit> steady;
        const QList<Condition> conditions = steadyConditions();
        for (int set = 0; set < 2; ++set) {
            if (o.only >= 0 && o.only != set) continue;
            for (int c = 0; c < conditions.size(); ++c) {
                if (!o.conditions.isEmpty() &&
                    !o.conditions.contains(compact(conditions[c].name()).remove("dB")))
                    continue;
                for (int speaker = 0; speaker < (set ? heldOutSpeakers() : tunedSpeakers()).size();
                     ++speaker) {
                    SteadyUnit u{set, conditions[c], speaker, {}};
                    for (int i = 0; i < takes.size(); ++i)
                        if (takes[i].use == Use::Steady && int(takes[i].heldOut) == set &&
                            takes[i].speaker == speaker)
                            u.takes << i;
                    steady << u;
                    Unit unit;
                    unit.name = QString("%1 %2").arg(set ? "held-out" : "tuned", conditions[c].name());
                    unit.tests = [&takes, u, c] {
                        QList<Test> tests;
                        for (int i : u.takes) {
                            const Mixed m = mix(loadTake(takes[i]), u.condition,
                                                uint32_t(i * 131 + c * 7 + u.set * 100003));
                            tests << Test{m.audio, m.speechEndMs};
                        }
                        return tests;
                    };
                    units << unit;
                }
            }
        }
        const int steadyUnits = int(units.size());
        QList<Stream> streams;
        if (o.streams) {
            streams = buildStreams(takes);
            streams.removeIf([&](const Stream& s) { return o.only >= 0 && int(s.heldOut) != o.only; });
            for (const Stream& s : streams) {
                Unit unit;
                unit.name = "stream " + s.speaker;
                unit.tests = [&s] { return QList<Test>{Test{s.audio, 0}}; };
                units << unit;
            }
        }
        const int streamUnits = int(units.size());
        QList<int> startupTakes;
        for (int i = 0; i < takes.size(); ++i)
            if (takes[i].use == Use::Startup && (o.only < 0 || int(takes[i].heldOut) == o.only)) {
                startupTakes << i;
                Unit unit;
                unit.startup = true;
                unit.tests = [&takes, i] {
                    const Mixed m = mix(loadTake(takes[i]), Condition{}, 0);
                    return QList<Test>{Test{m.audio, m.speechEndMs}};
                };
                units << unit;
            }

        clock.restart();
        decodeUnits(units, o.jobs, [&](const Unit& u) {
            auto decoder = std::make_unique<SphinxDecoder>(o.settings);
            decoder->setGrammar(u.startup ? states : commands);
            return decoder;
        });
        const double wall = clock.elapsed() / 1000.0;

        // Steady conditions, by set and condition.
        std::printf("\nby condition (%% of tests, count in brackets; held-out rows marked *):\n");
        std::printf("%-9s %-14s %-13s %-13s %-13s %-13s\n", "set", "condition", "commands", "sentences",
                    "near misses", "no rejection");
        std::printf("%-9s %-14s %-13s %-13s %-13s %-13s\n", "", "", "right", "rejected", "rejected",
                    "cmds right");
        std::map<std::pair<int, QString>, Row> rows;
        std::map<std::pair<int, QString>, Tally> plainRows;
        std::map<std::pair<int, int>, Row> bySpeaker; // conditions down to 15 dB
        QList<double> latencies;
        FILE* dump = o.dumpPath.isEmpty() ? nullptr : std::fopen(qPrintable(o.dumpPath), "w");
        for (int u = 0; u < steadyUnits; ++u) {
            const SteadyUnit& s = steady[u];
            Row& row = rows[{s.set, s.condition.name()}];
            Tally& plain = plainRows[{s.set, s.condition.name()}];
            const bool to15 = s.condition.colour == Colour::None || s.condition.snr >= 15;
            Row& speakerRow = bySpeaker[{s.set, s.speaker}];
            for (int t = 0; t < s.takes.size(); ++t) {
                const Take& take = takes[s.takes[t]];
                const QList<Final>& finals = units[u].finals[t];
                const Final* acted = actedOn(finals);
                if (to15) {
                    if (take.kind == Kind::Command)
                        speakerRow.commands.add(acted && acted->phrase == take.phrase);
                    else
                        (take.kind == Kind::Sentence ? speakerRow.sentences : speakerRow.nearMisses)
                            .add(!acted);
                }
                if (take.kind == Kind::Command) {
                    row.commands.add(acted && acted->phrase == take.phrase);
                    plain.add(!finals.isEmpty() && finals.first().phrase == take.phrase);
                    if (acted && s.condition.colour == Colour::None) latencies << acted->latencyMs;
                } else {
                    (take.kind == Kind::Sentence ? row.sentences : row.nearMisses).add(!acted);
                }
                if (dump) {
                    std::fprintf(dump, "%d\t%s\t%d\t%d\t%d\t%s", s.set,
                                 qPrintable(compact(s.condition.name())), int(take.kind), take.phrase,
                                 take.speaker, qPrintable(take.text));
                    for (const Final& f : finals)
                        std::fprintf(dump, "\t%d:%d:%.1f:%.1f:%d:%.1f:%.0f", f.phrase, f.accepted,
                                     f.event.utteranceScore, f.event.worstWordScore,
                                     f.event.unexplainedFrames, f.event.noiseLevelDb, f.latencyMs);
                    std::fprintf(dump, "\n");
                }
            }
        }
        if (dump) std::fclose(dump);
        for (int set = 0; set < 2; ++set)
            for (const Condition& c : conditions) {
                auto found = rows.find({set, c.name()});
                if (found == rows.end()) continue;
                const Row& r = found->second;
                const Tally plain = plainRows[std::make_pair(set, c.name())];
                std::printf("%-9s %-14s %-13s %-13s %-13s %-13s\n", set ? "held-out*" : "tuned",
                            qPrintable(c.name()), qPrintable(r.commands.text()),
                            qPrintable(r.sentences.text()), qPrintable(r.nearMisses.text()),
                            qPrintable(plain.text()));
            }

        std::printf("\nby speaker, all conditions down to 15 dB:\n");
        for (const auto& [key, r] : bySpeaker)
            std::printf("%-9s %-40s %-13s %-13s %-13s\n", key.first ? "held-out*" : "tuned",
                        qPrintable((key.first ? heldOutSpeakers() : tunedSpeakers())[key.second].name),
                        qPrintable(r.commands.text()), qPrintable(r.sentences.text()),
                        qPrintable(r.nearMisses.text()));

        // Streams: each command is matched with the result whose end of speech falls within it.
        Tally afterChange[2], later[2], streamFirst[2];
        if (!streams.isEmpty()) {
            std::printf("\nnoise changing within one stream (commands right):\n");
            for (int k = 0; k < streams.size(); ++k) {
                const Stream& s = streams[k];
                const QList<Final>& finals = units[steadyUnits + k].finals.first();
                Tally mine[2];
                for (const StreamCommand& c : s.commands) {
                    bool right = false;
                    for (const Final& f : finals)
                        if (f.accepted && f.speechEndMs >= c.startMs && f.speechEndMs <= c.endMs + 300) {
                            right = f.phrase == c.phrase;
                            break;
                        }
                    const int h = s.heldOut;
                    if (c.firstSegment)
                        streamFirst[h].add(right);
                    else if (c.sinceChange < 2)
                        afterChange[h].add(right), mine[0].add(right);
                    else
                        later[h].add(right), mine[1].add(right);
                }
                std::printf("  %-9s %-40s first two after a change %s, later %s\n",
                            s.heldOut ? "held-out*" : "tuned", qPrintable(s.speaker),
                            qPrintable(mine[0].text()), qPrintable(mine[1].text()));
            }
            for (int h = 0; h < 2; ++h)
                if (afterChange[h].total)
                    std::printf(
                        "  %-9s all streams: first two after a change %s, later %s, before any change %s\n",
                        h ? "held-out*" : "tuned", qPrintable(afterChange[h].text()),
                        qPrintable(later[h].text()), qPrintable(streamFirst[h].text()));
        }

        // Start-up: a fresh decoder hears one state phrase (or a near miss of one) first.
        Tally startup[2], startupNear[2];
        QStringList startupMisses;
        for (int k = 0; k < startupTakes.size(); ++k) {
            const Take& take = takes[startupTakes[k]];
            const Final* acted = actedOn(units[streamUnits + k].finals.first());
            if (take.kind == Kind::Command) {
                const bool right = acted && acted->phrase == take.phrase;
                startup[take.heldOut].add(right);
                if (!right && take.phrase == 0)
                    startupMisses << QString("%1 (%2)").arg(
                        (take.heldOut ? heldOutSpeakers() : tunedSpeakers())[take.speaker].name,
                        acted ? phrases.statePhrases.value(acted->phrase) : QString("rejected"));
            } else {
                startupNear[take.heldOut].add(!acted);
            }
        }
        if (!startupTakes.isEmpty()) {
            std::printf("\nfirst words after start-up (state phrases \"%s\"):\n",
                        qPrintable(phrases.statePhrases.join("\", \"")));
            for (int h = 0; h < 2; ++h)
                if (startup[h].total)
                    std::printf("  %-9s state phrases right %s, near misses of them rejected %s\n",
                                h ? "held-out*" : "tuned", qPrintable(startup[h].text()),
                                qPrintable(startupNear[h].text()));
            if (!startupMisses.isEmpty())
                std::printf("  activation phrase missed: %s\n", qPrintable(startupMisses.join("; ")));
        }

        // Cost: real-time factor over everything decoded; CPU listening to silence and a quiet room's hiss.
        double cpu = 0, audio = 0;
        for (const Unit& u : units)
            cpu += u.cpuMs, audio += u.audioMs;
        SphinxDecoder idle(o.settings);
        idle.setGrammar(commands);
        std::mt19937 random(7);
        std::normal_distribution<double> hiss(0, 20);
        std::vector<int16_t> quiet(16000 * 30);
        for (size_t i = 0; i < quiet.size(); ++i)
            quiet[i] = i < quiet.size() / 2 ? 0 : int16_t(hiss(random));
        const double idle0 = threadCpuMs();
        for (size_t i = 0; i < quiet.size(); i += 320)
            idle.process(quiet.data() + i, 320);
        const double idleCpu = threadCpuMs() - idle0;
        std::printf("\nend of speech to event (quiet commands): median %.0f ms, 95th percentile %.0f ms\n",
                    percentile(latencies, 0.5), percentile(latencies, 0.95));
        std::printf("real-time factor %.3f (CPU per second of audio); %.1f s wall on %d threads\n",
                    audio ? cpu / audio : 0, wall, o.jobs);
        std::printf("CPU while listening to silence: %.2f %% of one core\n", 100.0 * idleCpu / 30000.0);

        // The goals, judged on the held-out set.
        if (o.only != 0 && o.conditions.isEmpty()) {
            auto pooled = [&](auto pick, auto cond) {
                Tally t;
                for (const auto& [key, row] : rows)
                    if (key.first == 1 && cond(key.second)) t.add(pick(row));
                return t;
            };
            const auto cmds = [](const Row& r) { return r.commands; };
            const auto quietOnly = [](const QString& n) { return n == "quiet"; };
            const auto pb15 = [](const QString& n) { return n == "pink 15 dB" || n == "brown 15 dB"; };
            const auto pb5 = [](const QString& n) { return n == "pink 5 dB" || n == "brown 5 dB"; };
            const auto to15 = [](const QString& n) { return !n.contains(" 10 dB") && !n.contains(" 5 dB"); };
            double worstSentences = 100;
            for (const auto& [key, row] : rows)
                if (key.first == 1 && to15(key.second))
                    worstSentences = std::min(worstSentences, row.sentences.percent());
            const Tally near = pooled([](const Row& r) { return r.nearMisses; }, to15);
            auto goal = [](const char* what, double value, double target) {
                std::printf("  %-62s %6.1f %%  (goal >= %.0f %%) %s\n", what, value, target,
                            value >= target ? "met" : "NOT MET");
            };
            std::printf("\ngoals, on the held-out set:\n");
            goal("commands right, quiet", pooled(cmds, quietOnly).percent(), 98);
            goal("commands right, pink and brown 15 dB", pooled(cmds, pb15).percent(), 95);
            goal("commands right, pink and brown 5 dB", pooled(cmds, pb5).percent(), 80);
            if (afterChange[1].total)
                goal("commands right, first two after a change of noise (15-20 dB)", afterChange[1].percent(),
                     90);
            goal("sentences rejected, worst condition down to 15 dB", worstSentences, 97);
            goal("near misses rejected, all conditions down to 15 dB", near.percent(), 70);
            if (startup[1].total)
                goal("state phrases right when said first after start-up", startup[1].percent(), 100);
            std::printf("  %-62s %6.0f ms  (goal < 250 ms) %s\n", "end of speech to event, median",
                        percentile(latencies, 0.5), percentile(latencies, 0.5) < 250 ? "met" : "NOT MET");
            std::printf("  %-62s %6.2f %%  (goal < 2 %%) %s\n", "CPU while listening to silence",
                        100.0 * idleCpu / 30000.0, idleCpu / 30000.0 < 0.02 ? "met" : "NOT MET");
        }
        return 0;
    } catch (const SpeechError& e) {
        std::fprintf(stderr, "qz-speech-bench: %s\n", e.what());
        return 1;
    }
}
