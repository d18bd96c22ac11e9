#include "bench/speech/BenchSet.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTextStream>

#include <cmath>
#include <random>

#include "platform/audio/AudioOutput.h"
#include "platform/audio/WavFile.h"
#include "platform/speech/EspeakSynthesizer.h"
#include "platform/speech/SpeechError.h"

namespace qz::bench {

namespace {

// Six voices and variants, two speeds; each phrase is said by four of the twelve combinations.
const QStringList kVoices = {"en-us", "en-us+f2", "gmw/en", "en-gb-x-rp+f4", "en-gb-scotland+m3", "en-029"};
const QList<int> kSpeeds = {140, 185};
const QList<int> kSnrs = {0, 15, 5};
constexpr int kTakesPerPhrase = 4;

QStringList readLines(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) throw SpeechError("Cannot read " + path);
    QStringList lines;
    for (const QString& l : QString::fromUtf8(f.readAll()).split('\n'))
        if (!l.trimmed().isEmpty()) lines << l.trimmed();
    return lines;
}

QString kindName(Kind k) {
    return k == Kind::Command ? "command" : k == Kind::Sentence ? "sentence" : "near";
}
Kind kindFrom(const QString& s) {
    return s == "command" ? Kind::Command : s == "sentence" ? Kind::Sentence : Kind::NearMiss;
}

double speechRms(const QVector<double>& s) {
    // Loudness of the speech itself: the frames above a tenth of the loudest frame's level.
    const int frame = 160;
    QVector<double> energies;
    for (int i = 0; i + frame <= s.size(); i += frame) {
        double e = 0;
        for (int k = 0; k < frame; ++k)
            e += s[i + k] * s[i + k];
        energies << e / frame;
    }
    double peak = 0;
    for (double e : energies)
        peak = std::max(peak, e);
    double sum = 0;
    int count = 0;
    for (double e : energies)
        if (e >= peak * 0.01) sum += e, ++count;
    return count ? std::sqrt(sum / count) : 0;
}

QVector<double> makeNoise(const QString& folder, const QString& colour) {
    const QString path = folder + "/noise-" + colour + ".wav";
    if (!QFile::exists(path)) {
        const int rc = QProcess::execute("sox", {"-n", "-r", "16000", "-c", "1", "-b", "16", path, "synth",
                                                 "60", colour + "noise", "vol", "0.5"});
        if (rc != 0) throw SpeechError("sox could not make " + colour + " noise (is sox installed?)");
    }
    const QByteArray pcm = readWav(path).samples;
    const auto* p = reinterpret_cast<const int16_t*>(pcm.constData());
    QVector<double> noise(pcm.size() / 2);
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = p[i];
    return noise;
}

} // namespace

Phrases loadPhrases(const QString& folder) {
    return {readLines(folder + "/commands.txt"), readLines(folder + "/sentences.txt"),
            readLines(folder + "/near-misses.txt")};
}

QList<Recording> buildSet(const QString& folder, const Phrases& phrases) {
    QDir().mkpath(folder);
    const QString manifest = folder + "/manifest.tsv";
    QList<Recording> set;
    if (QFile::exists(manifest)) {
        QFile f(manifest);
        f.open(QIODevice::ReadOnly);
        for (const QString& line : QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts)) {
            const QStringList c = line.split('\t');
            if (c.size() != 7) continue;
            set << Recording{folder + "/" + c[0], kindFrom(c[1]), c[2].toInt(), c[3], c[4],
                             c[5].toInt(),        c[6].toInt()};
        }
        if (!set.isEmpty()) return set;
    }

    EspeakSynthesizer espeak(std::make_unique<TimedSilentOutput>());
    if (!espeak.sampleRate()) throw SpeechError("espeak-ng is not available: " + espeak.status());
    const QVector<double> noises[] = {makeNoise(folder, "pink"), makeNoise(folder, "brown")};
    std::mt19937 random(20261209);

    struct Item {
        Kind kind;
        int index;
        QString text;
    };
    QList<Item> items;
    for (int i = 0; i < phrases.commands.size(); ++i)
        items << Item{Kind::Command, i, phrases.commands[i]};
    for (const QString& s : phrases.sentences)
        items << Item{Kind::Sentence, -1, s};
    for (const QString& s : phrases.nearMisses)
        items << Item{Kind::NearMiss, -1, s};

    QFile out(manifest + ".part");
    if (!out.open(QIODevice::WriteOnly)) throw SpeechError("Cannot write " + manifest);
    QTextStream manifestOut(&out);
    int n = 0, item = 0;
    for (const Item& it : items) {
        for (int take = 0; take < kTakesPerPhrase; ++take) {
            const int combo = (item * 5 + take * 3) % (kVoices.size() * kSpeeds.size());
            const QString voice = kVoices[combo % kVoices.size()];
            const int speed = kSpeeds[combo / kVoices.size()];
            const QByteArray raw = espeak.synthesize(it.text, VoiceToken{voice, voice, "en"}, speed);
            QByteArray pcm = resample(raw, espeak.sampleRate(), 16000);
            // Some quiet before and after, as a microphone hears it.
            pcm = QByteArray(16000 * 2 * 3 / 10, 0) + pcm + QByteArray(16000 * 2 * 3 / 10, 0);
            const auto* p = reinterpret_cast<const int16_t*>(pcm.constData());
            QVector<double> clean(pcm.size() / 2);
            for (int i = 0; i < clean.size(); ++i)
                clean[i] = p[i];
            const double speech = speechRms(clean);
            for (int snr : kSnrs) {
                QByteArray mixed(pcm.size(), Qt::Uninitialized);
                auto* m = reinterpret_cast<int16_t*>(mixed.data());
                const QVector<double>& noise = noises[n % 2];
                const int offset = int(random() % uint32_t(noise.size() - clean.size() - 1));
                double noiseRms = 0;
                for (int i = 0; i < clean.size(); ++i)
                    noiseRms += noise[offset + i] * noise[offset + i];
                noiseRms = std::sqrt(noiseRms / std::max<qsizetype>(1, clean.size()));
                const double gain =
                    snr == 0 || noiseRms == 0 ? 0 : speech / noiseRms / std::pow(10.0, snr / 20.0);
                for (int i = 0; i < clean.size(); ++i)
                    m[i] = int16_t(
                        std::clamp(std::lround(clean[i] + gain * noise[offset + i]), -32768L, 32767L));
                const QString name = QString("%1-%2-%3-%4.wav")
                                         .arg(kindName(it.kind))
                                         .arg(n, 4, 10, QChar('0'))
                                         .arg(take)
                                         .arg(snr ? QString("snr%1").arg(snr) : "quiet");
                writeWav(folder + "/" + name, mixed, 16000);
                set << Recording{folder + "/" + name, it.kind, it.index, it.text, voice, speed, snr};
                manifestOut << name << '\t' << kindName(it.kind) << '\t' << it.index << '\t' << it.text
                            << '\t' << voice << '\t' << speed << '\t' << snr << '\n';
            }
            ++n;
        }
        ++item;
    }
    manifestOut.flush();
    out.close();
    QFile::remove(manifest);
    out.rename(manifest);
    return set;
}

} // namespace qz::bench
