// qz-recognize --phrases FILE [--strictness X] WAV...
// Recognises each WAV against the phrases with the program's own recogniser and settings, fed in 20 ms
// chunks, and prints per file: path, phrase index (-1 when rejected), phrase or "rejected", and the
// milliseconds from the end of speech to the event.

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <cstdio>

#include "platform/audio/AudioError.h"
#include "platform/audio/WavFile.h"
#include "platform/speech/SpeechError.h"
#include "platform/speech/SphinxDecoder.h"
#include "tools/qz-recognize/GrammarCompiler.h"
#include "tools/qz-recognize/SpeechTiming.h"

using namespace qz;

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: qz-recognize --phrases FILE [--strictness X] [--verbose] WAV...\n"
                 "  X from 0 (accept nearly anything) to 1 (only clear matches); default %.2f\n",
                 SphinxSettings{}.strictness);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString phrasesPath;
    SphinxSettings settings;
    bool verbose = false;
    QStringList wavs;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == "--phrases" && i + 1 < args.size()) {
            phrasesPath = args[++i];
        } else if (args[i] == "--strictness" && i + 1 < args.size()) {
            bool ok = false;
            settings.strictness = args[++i].toDouble(&ok);
            if (!ok || settings.strictness < 0 || settings.strictness > 1) return usage();
        } else if (args[i] == "--verbose") {
            verbose = true;
        } else if (args[i].startsWith("--")) {
            return usage();
        } else {
            wavs << args[i];
        }
    }
    if (phrasesPath.isEmpty() || wavs.isEmpty()) return usage();

    QFile file(phrasesPath);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "qz-recognize: cannot read %s\n", qPrintable(phrasesPath));
        return 1;
    }
    QStringList phrases = QString::fromUtf8(file.readAll()).split('\n');
    for (QString& p : phrases)
        p = p.trimmed();
    while (!phrases.isEmpty() && phrases.back().isEmpty())
        phrases.removeLast();

    try {
        SphinxDecoder decoder(settings);
        decoder.setGrammar(compileCommandGrammar(phrases));
        QTextStream out(stdout);
        int failures = 0;
        for (const QString& wav : wavs) {
            WavData data;
            try {
                data = readWav(wav);
            } catch (const AudioError& e) {
                std::fprintf(stderr, "qz-recognize: %s\n", e.what());
                ++failures;
                continue;
            }
            const TimedRun run = runTimed(decoder, data.samples);
            int index = -1;
            QString text = "rejected";
            double latency = -1;
            for (const TimedEvent& t : run.events) {
                if (t.event.kind == SphinxDecoder::Event::Hypothesis) continue;
                if (verbose)
                    std::fprintf(
                        stderr, "%s\t%s\t%s\tutt=%.2f worst=%.2f unexplained=%d frames=%d noise=%.1f dB\n",
                        qPrintable(wav),
                        t.event.kind == SphinxDecoder::Event::Recognition ? "accept" : "reject",
                        qPrintable(t.event.result.GetText()), t.event.utteranceScore, t.event.worstWordScore,
                        t.event.unexplainedFrames, t.event.frames, t.event.noiseLevelDb);
                if (latency < 0) latency = t.atMs - run.speechEndMs;
                if (t.event.kind == SphinxDecoder::Event::Recognition && index < 0) {
                    index = t.event.result.Properties(1).Children(0).Id();
                    text = t.event.result.GetText();
                    latency = t.atMs - run.speechEndMs;
                }
            }
            out << wav << '\t' << index << '\t' << text << '\t' << qRound(std::max(latency, 0.0)) << '\n';
            out.flush();
        }
        return failures ? 1 : 0;
    } catch (const SpeechError& e) {
        std::fprintf(stderr, "qz-recognize: %s\n", e.what());
        return 1;
    }
}
