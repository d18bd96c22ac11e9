#include "bench/speech/BenchSet.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QTextStream>

#include <algorithm>

#include "bench/speech/Speakers.h"
#include "platform/audio/AudioOutput.h"
#include "platform/audio/WavFile.h"
#include "platform/speech/EspeakSynthesizer.h"
#include "platform/speech/SpeechError.h"

namespace qz::bench {

namespace {

constexpr int kRate = 16000;
constexpr int kCommandTakes = 2, kSentenceTakes = 2, kNearMissTakes = 1;
constexpr int kStreamsPerSet = 4, kStreamSegments = 8, kCommandsPerSegment = 4;

QStringList readLines(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) throw SpeechError("Cannot read " + path);
    QStringList lines;
    for (const QString& l : QString::fromUtf8(f.readAll()).split('\n'))
        if (!l.trimmed().isEmpty() && !l.trimmed().startsWith('#')) lines << l.trimmed();
    return lines;
}

const QList<Speaker>& speakersOf(bool heldOut) {
    return heldOut ? heldOutSpeakers() : tunedSpeakers();
}

std::vector<int16_t> toSamples(const QByteArray& pcm) {
    const auto* p = reinterpret_cast<const int16_t*>(pcm.constData());
    return std::vector<int16_t>(p, p + pcm.size() / 2);
}

size_t samplesOf(double ms) {
    return size_t(ms * kRate / 1000);
}

// The streams' rooms: each stream walks this list from its own starting point.
QList<Condition> streamSchedule(bool heldOut) {
    using C = Condition;
    if (heldOut)
        return {C{}, C{Colour::Brown, 15}, C{Colour::Pink, 15}, C{Colour::White, 20}, C{Colour::Pink, 15},
                C{}, C{Colour::White, 15}, C{Colour::Brown, 20}};
    return {C{}, C{Colour::Pink, 15},  C{Colour::Brown, 15}, C{Colour::White, 15}, C{Colour::Pink, 20},
            C{}, C{Colour::Brown, 15}, C{Colour::Pink, 15}};
}

// Which speakers speak the streams: a spread of engines and variants.
QList<int> streamSpeakers(bool heldOut) {
    return heldOut ? QList<int>{0, 1, 3, 5} : QList<int>{0, 8, 6, 10};
}

} // namespace

QString Condition::name() const {
    if (colour == Colour::None) return "quiet";
    return QString("%1 %2 dB").arg(colourName(colour)).arg(snr);
}

QList<Condition> steadyConditions() {
    QList<Condition> list{Condition{}};
    for (Colour c : {Colour::White, Colour::Pink, Colour::Brown})
        for (int snr : {20, 15, 10, 5})
            list << Condition{c, snr};
    return list;
}

Phrases loadPhrases(const QString& benchDir, const QString& programContent) {
    Phrases p;
    p.commands = readLines(benchDir + "/commands.txt");
    p.sentences[0] = readLines(benchDir + "/sentences.txt");
    p.sentences[1] = readLines(benchDir + "/sentences-held-out.txt");
    p.nearMisses[0] = readLines(benchDir + "/near-misses.txt");
    p.nearMisses[1] = readLines(benchDir + "/near-misses-held-out.txt");
    p.stateNearMisses = readLines(benchDir + "/state-near-misses.txt");
    // The state phrases as a fresh program folder ships them: field 0 of the first three records.
    for (const QString& record : readLines(programContent + "/data/brain.qzb").mid(0, 3))
        p.statePhrases << record.section('|', 0, 0).trimmed();
    return p;
}

QList<Take> buildTakes(const QString& folder, const Phrases& phrases) {
    QDir().mkpath(folder);
    const QString manifest = folder + "/manifest.tsv";
    // What to say: every take's kind, use, phrase, text and speaker, in a fixed order.
    QList<Take> takes;
    for (bool heldOut : {false, true}) {
        const int speakers = int(speakersOf(heldOut).size());
        const int h = heldOut;
        int item = 0;
        auto add = [&](Kind kind, Use use, int phrase, const QString& text, int count) {
            for (int t = 0; t < count; ++t)
                takes << Take{{}, kind, use, phrase, text, (item * 5 + t * 7 + h) % speakers, heldOut};
            ++item;
        };
        for (int i = 0; i < phrases.commands.size(); ++i)
            add(Kind::Command, Use::Steady, i, phrases.commands[i], kCommandTakes);
        for (const QString& s : phrases.sentences[h])
            add(Kind::Sentence, Use::Steady, -1, s, kSentenceTakes);
        for (const QString& s : phrases.nearMisses[h])
            add(Kind::NearMiss, Use::Steady, -1, s, kNearMissTakes);
        const QList<int> streamers = streamSpeakers(heldOut);
        for (int k = 0; k < kStreamsPerSet; ++k)
            for (int j = 0; j < kStreamSegments * kCommandsPerSegment; ++j) {
                const int phrase = (k * 13 + j * 7 + h * 3) % int(phrases.commands.size());
                takes << Take{{},           Kind::Command, Use::Stream, phrase, phrases.commands[phrase],
                              streamers[k], heldOut};
            }
        for (int s = 0; s < speakers; ++s)
            for (int i = 0; i < phrases.statePhrases.size(); ++i)
                takes << Take{{}, Kind::Command, Use::Startup, i, phrases.statePhrases[i], s, heldOut};
        for (int i = 0; i < phrases.stateNearMisses.size(); ++i)
            takes << Take{
                {},     Kind::NearMiss, Use::Startup, -1, phrases.stateNearMisses[i], (i * 3 + h) % speakers,
                heldOut};
    }

    // A take already made (the same text by the same speaker) is kept; only new ones are synthesised.
    auto key = [](bool heldOut, int speaker, const QString& text) {
        return QString("%1|%2|%3").arg(heldOut).arg(speaker).arg(text);
    };
    QHash<QString, QString> made;
    int nextFile = 0;
    if (QFile f(manifest); f.open(QIODevice::ReadOnly))
        for (const QString& line : QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts)) {
            const QStringList c = line.split('\t');
            if (c.size() != 4 || !QFile::exists(folder + "/" + c[0])) continue;
            made.insert(key(c[1] == "1", c[2].toInt(), c[3]), c[0]);
            nextFile = std::max(nextFile, c[0].section('-', 1, 1).section('.', 0, 0).toInt() + 1);
        }
    std::unique_ptr<EspeakSynthesizer> espeak;
    for (Take& t : takes) {
        QString& name = made[key(t.heldOut, t.speaker, t.text)];
        if (name.isEmpty()) {
            if (!espeak) {
                espeak = std::make_unique<EspeakSynthesizer>(std::make_unique<TimedSilentOutput>());
                if (!espeak->sampleRate())
                    throw SpeechError("espeak-ng is not available: " + espeak->status());
            }
            name = QString("take-%1.wav").arg(nextFile++, 5, 10, QChar('0'));
            writeWav(folder + "/" + name, speak(speakersOf(t.heldOut)[t.speaker], t.text, *espeak, folder),
                     kRate);
        }
        t.path = folder + "/" + name;
    }
    QFile out(manifest + ".part");
    if (!out.open(QIODevice::WriteOnly)) throw SpeechError("Cannot write " + manifest);
    QTextStream manifestOut(&out);
    for (auto it = made.cbegin(); it != made.cend(); ++it) {
        const QStringList k = it.key().split('|');
        manifestOut << it.value() << '\t' << k[0] << '\t' << k[1] << '\t' << k.mid(2).join('|') << '\n';
    }
    manifestOut.flush();
    out.close();
    QFile::remove(manifest);
    out.rename(manifest);
    return takes;
}

std::vector<int16_t> loadTake(const Take& take) {
    return toSamples(readWav(take.path).samples);
}

Mixed mix(const std::vector<int16_t>& clean, const Condition& condition, uint32_t seed) {
    const size_t lead = samplesOf(1000), tail = samplesOf(600);
    Mixed m;
    m.audio.assign(lead + clean.size() + tail, 0);
    std::copy(clean.begin(), clean.end(), m.audio.begin() + lead);
    if (condition.colour != Colour::None)
        addNoise(m.audio, makeNoise(condition.colour, m.audio.size(), seed),
                 speechRms(clean.data(), clean.size()), condition.snr);
    m.speechEndMs = 1000.0 + double(clean.size()) * 1000 / kRate;
    return m;
}

QList<Stream> buildStreams(const QList<Take>& all) {
    QList<Stream> streams;
    for (bool heldOut : {false, true}) {
        const QList<Condition> schedule = streamSchedule(heldOut);
        const QList<int> streamers = streamSpeakers(heldOut);
        for (int k = 0; k < streamers.size(); ++k) {
            QList<const Take*> takes;
            for (const Take& t : all)
                if (t.use == Use::Stream && t.heldOut == heldOut && t.speaker == streamers[k]) takes << &t;
            Stream s;
            s.speaker = speakersOf(heldOut)[streamers[k]].name;
            s.heldOut = heldOut;
            // One speaker's level throughout, as one person at one microphone.
            std::vector<std::vector<int16_t>> clean;
            double level = 0;
            for (const Take* t : takes) {
                clean.push_back(loadTake(*t));
                level += speechRms(clean.back().data(), clean.back().size());
            }
            if (clean.empty()) continue;
            level /= double(clean.size());
            // Lay out the speech first, then fill each segment's span with its noise.
            QList<size_t> segmentStart;
            size_t at = samplesOf(2000);
            for (int i = 0; i < int(clean.size()); ++i) {
                const int segment = i / kCommandsPerSegment, within = i % kCommandsPerSegment;
                if (within == 0 && segment > 0) {
                    at += samplesOf(800); // the old room for a moment after the last command
                    segmentStart << at;
                    at += samplesOf(2000); // then two seconds of the new room before the next
                } else if (within == 0) {
                    segmentStart << 0;
                } else {
                    at += samplesOf(1500);
                }
                StreamCommand c;
                c.phrase = takes[i]->phrase;
                c.startMs = double(at) * 1000 / kRate;
                c.endMs = c.startMs + double(clean[size_t(i)].size()) * 1000 / kRate;
                c.condition = schedule[(segment + k * 3) % schedule.size()];
                c.sinceChange = within;
                c.firstSegment = segment == 0;
                s.commands << c;
                if (s.audio.size() < at + clean[size_t(i)].size())
                    s.audio.resize(at + clean[size_t(i)].size());
                std::copy(clean[size_t(i)].begin(), clean[size_t(i)].end(), s.audio.begin() + long(at));
                at += clean[size_t(i)].size();
            }
            s.audio.resize(at + samplesOf(1500));
            segmentStart << s.audio.size();
            for (int g = 0; g + 1 < segmentStart.size(); ++g) {
                const Condition c = s.commands[g * kCommandsPerSegment].condition;
                if (c.colour == Colour::None) continue;
                const size_t from = segmentStart[g], to = segmentStart[g + 1];
                std::vector<int16_t> part(s.audio.begin() + long(from), s.audio.begin() + long(to));
                addNoise(part, makeNoise(c.colour, part.size(), uint32_t(9000 + heldOut * 1000 + k * 50 + g)),
                         level, c.snr);
                std::copy(part.begin(), part.end(), s.audio.begin() + long(from));
            }
            streams << s;
        }
    }
    return streams;
}

} // namespace qz::bench
