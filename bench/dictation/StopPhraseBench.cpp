// How reliably a spoken stop phrase ends dictation, and that ordinary dictated sentences never do.
// While dictating, the dictation plugin listens for its stop phrase and its own command phrase as wholes
// beside free dictation. Every voice here is one the tests never use: flite's four voices and espeak-ng
// variants other than the tests' en-us, each at three speeds, quiet and in white noise at 15 dB. The voices
// follow one another in one continuous stream, as one microphone delivers it. Also printed: how often free
// dictation alone reads the stop phrase as the plugin's words (what a comparison by spelling would get).

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <random>

#include "platform/audio/WavFile.h"
#include "platform/speech/SphinxDecoder.h"
#include "tools/qz-recognize/GrammarCompiler.h"
#include "tools/qz-recognize/SpeechTiming.h"

using namespace qz;

namespace {

const QString kStop = "stop dictation";
const QString kOwnPhrase = "take a note";
const QStringList kSentences = {
    "the weather is nice today",
    "please send the report to the team by friday",
    "we should stop at the station on the way home",
    "my dictation teacher was very strict",
    "take the second road on the left",
    "remember to buy milk and bread",
    "the meeting starts at ten in the morning",
    "i will call you back after lunch",
    "stop worrying about the small things",
    "the new edition of the book is out",
    "thank you for your kind letter",
    "she took a few notes during the talk",
    "the bus stops in front of the library",
    "could you check the numbers again",
    "the dictionary is on the top shelf",
    "let us meet next week to discuss the plan",
    "the garden looks lovely in the spring",
    "this addition to the house was built last year",
    "he stopped the car at the corner",
    "write down every word of this sentence",
};

struct Voice {
    QString name;
    QStringList command; // synthesiser and options; the text and the output file follow
};

QList<Voice> voices() {
    QList<Voice> out;
    for (const char* flite : {"kal", "awb", "rms", "slt"})
        for (const char* stretch : {"0.85", "1.0", "1.2"})
            out << Voice{QString("flite %1 x%2").arg(flite, stretch),
                         {"flite", "-voice", flite, "--setf", QString("duration_stretch=") + stretch}};
    for (const char* espeak : {"en-gb", "en-us+f3", "en-gb-scotland+m3", "en-029+f2"})
        for (const char* speed : {"130", "160", "195"})
            out << Voice{QString("espeak %1 %2").arg(espeak, speed),
                         {"espeak-ng", "-v", espeak, "-s", speed}};
    return out;
}

// 16 kHz mono samples of `text` in `voice`.
QByteArray synthesize(const Voice& voice, const QString& text, const QString& folder) {
    static int counter = 0;
    const QString raw = QString("%1/take%2.wav").arg(folder).arg(counter++);
    const QString wav16 = raw + ".16k.wav";
    QStringList args = voice.command.mid(1);
    if (voice.command.first() == "flite")
        args << "-t" << text << "-o" << raw;
    else
        args << "-w" << raw << text;
    if (QProcess::execute(voice.command.first(), args) != 0 ||
        QProcess::execute("sox", {"-q", raw, "-r", "16000", "-c", "1", "-b", "16", wav16}) != 0) {
        std::fprintf(stderr, "could not synthesise \"%s\" with %s\n", qPrintable(text),
                     qPrintable(voice.name));
        return {};
    }
    return readWav(wav16).samples;
}

QByteArray silence(int ms) {
    return QByteArray(16 * ms * 2, 0);
}

QByteArray withWhiteNoise(const QByteArray& audio, double snrDb, unsigned seed) {
    QByteArray out = audio;
    auto* s = reinterpret_cast<int16_t*>(out.data());
    const size_t n = size_t(out.size() / 2);
    double energy = 0;
    size_t loud = 0;
    for (size_t i = 0; i < n; ++i)
        if (std::abs(s[i]) > 500) energy += double(s[i]) * s[i], ++loud;
    const double rms = std::sqrt(energy / double(std::max<size_t>(loud, 1))) / std::pow(10.0, snrDb / 20);
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0, rms);
    for (size_t i = 0; i < n; ++i)
        s[i] = int16_t(std::clamp(double(s[i]) + noise(random), -32768.0, 32767.0));
    return out;
}

CompiledGrammar dictationWithWholePhrases() {
    CompiledGrammar g = compileCommandGrammar({kStop, kOwnPhrase});
    for (CompiledPhrase& p : g.phrases)
        p.grammarId = 1;
    g.dictation = true;
    return g;
}

QString normalised(const QString& text) {
    return normalizeWords(text).join(' ');
}

struct Tally {
    int stopsHeard = 0, stopsSaid = 0, spelledRight = 0;
    int sentencesSaid = 0, sentencesEndingIt = 0;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    std::printf("Stop phrase while dictating (voices the tests never use: flite x4, espeak-ng variants x4, "
                "3 speeds each)\n");
    for (const double snr : {0.0, 15.0}) {
        Tally t;
        QStringList failures;
        int voiceIndex = 0;
        // One microphone that several people speak into, one after the other; the model loads once.
        SphinxDecoder decoder;
        decoder.setGrammar(dictationWithWholePhrases());
        SphinxDecoder plain;
        CompiledGrammar dictationOnly;
        dictationOnly.dictation = true;
        plain.setGrammar(dictationOnly);
        for (const Voice& voice : voices()) {
            // The stop phrase after every second sentence, as a user would dictate.
            QByteArray stream = silence(1000);
            struct Said {
                bool stop;
                QString text;
                double startMs = 0;
                QStringList heard; // every result whose event came while or just after this was said
            };
            QList<Said> said;
            auto add = [&](bool stop, const QString& text) {
                said << Said{stop, text, stream.size() / 32.0, {}};
                stream += synthesize(voice, text, folder.path()) + silence(1500);
            };
            const int first = (voiceIndex * 5) % kSentences.size();
            for (int k = 0; k < 5; ++k) {
                add(false, kSentences.at((first + k) % kSentences.size()));
                if (k % 2 == 1) add(true, kStop);
            }
            ++voiceIndex;
            if (snr > 0) stream = withWhiteNoise(stream, snr, 7 + unsigned(voiceIndex));
            // A result belongs to what was being said when its speech ended (on the stream's own clock, so
            // a busy machine that decodes late does not shift it onto the next utterance).
            for (const TimedEvent& e : runTimed(decoder, stream).events) {
                if (e.event.kind != SphinxDecoder::Event::Recognition) continue;
                const double endMs = double(e.event.speechEndMs); // from the start of this stream
                int i = int(said.size()) - 1;
                while (i > 0 && said[i].startMs > endMs)
                    --i;
                said[i].heard << normalised(e.event.result.GetText());
            }
            for (const Said& item : said) {
                const bool endsIt = item.heard.contains(kStop) || item.heard.contains(kOwnPhrase);
                if (item.stop) {
                    ++t.stopsSaid;
                    t.stopsHeard += item.heard.contains(kStop);
                    if (!item.heard.contains(kStop))
                        failures << voice.name + ": stop phrase heard as \"" + item.heard.join(" / ") + "\"";
                } else {
                    ++t.sentencesSaid;
                    t.sentencesEndingIt += endsIt;
                    if (endsIt) failures << voice.name + ": sentence \"" + item.text + "\" ended dictation";
                }
            }
            // The same stop phrase through free dictation alone.
            QByteArray stop = silence(800) + synthesize(voice, kStop, folder.path()) + silence(1500);
            if (snr > 0) stop = withWhiteNoise(stop, snr, 99 + unsigned(voiceIndex));
            for (const TimedEvent& e : runTimed(plain, stop).events)
                if (e.event.kind == SphinxDecoder::Event::Recognition)
                    t.spelledRight += normalised(e.event.result.GetText()) == kStop;
        }
        const int voiceCount = int(voices().size());
        std::printf(
            "  %-6s stop phrase ended dictation %d of %d (%.1f %%); sentences that ended it %d of %d; "
            "free dictation alone spelled the stop phrase right %d of %d\n",
            snr > 0 ? "15 dB" : "quiet", t.stopsHeard, t.stopsSaid,
            100.0 * t.stopsHeard / std::max(1, t.stopsSaid), t.sentencesEndingIt, t.sentencesSaid,
            t.spelledRight, voiceCount);
        for (const QString& f : failures)
            std::printf("    %s\n", qPrintable(f));
    }
    return 0;
}
