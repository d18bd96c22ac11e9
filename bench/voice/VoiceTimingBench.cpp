// When the voice's start and end events arrive on the UI thread, against when its audio is really heard:
// the texts are played into a null sink (run under tests/support/with-null-sink.sh) whose monitor is
// recorded at the same time, and each text's first and last audible sample is placed on the same clock
// as the events. A head's mouth follows these events, so they must follow the sound.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "platform/audio/QtMicrophone.h"
#include "platform/audio/QtSpeaker.h"
#include "platform/speech/EspeakSynthesizer.h"

using namespace qz;

namespace {

const QStringList kTexts = {"Hello there",
                            "I am listening",
                            "Dictation stopped.",
                            "It is a quarter past three in the afternoon",
                            "Going to sleep. Choose Activate functions to wake me.",
                            "All functions now activated",
                            "Already am sir",
                            "The weather is nice today"};

struct Stream {
    double startEventMs = -1, endEventMs = -1;
    double audioStartMs = -1, audioEndMs = -1;
};

double median(QList<double> v) {
    if (v.isEmpty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QElapsedTimer clock;
    clock.start();

    // The monitor of the sink: every chunk with the time it arrived. The recording's clock is placed on
    // ours by the chunk that arrived soonest after its audio (the least delayed one).
    QtMicrophone monitor;
    QByteArray recorded;
    double offsetMs = 1e18; // wall time of recorded sample 0
    QObject::connect(&monitor, &AudioInput::audioReady, [&](const QByteArray& chunk) {
        recorded += chunk;
        const double endOfChunkMs = recorded.size() / 2 / 16.0;
        offsetMs = std::min(offsetMs, double(clock.nsecsElapsed()) / 1e6 - endOfChunkMs);
    });
    if (!monitor.start()) {
        std::fprintf(stderr, "no monitor to record: %s\n", qPrintable(monitor.errorString()));
        return 1;
    }

    EspeakSynthesizer voice(std::make_unique<QtSpeaker>());
    if (!voice.status().isEmpty()) {
        std::fprintf(stderr, "the voice cannot be heard: %s\n", qPrintable(voice.status()));
        return 1;
    }
    QList<Stream> streams(kTexts.size());
    QObject::connect(&voice, &Synthesizer::streamStarted, [&](quintptr, int n) {
        streams[n - 1].startEventMs = double(clock.nsecsElapsed()) / 1e6;
    });
    QObject::connect(&voice, &Synthesizer::streamEnded, [&](quintptr, int n) {
        streams[n - 1].endEventMs = double(clock.nsecsElapsed()) / 1e6;
        if (n < kTexts.size()) {
            // A pause between texts, so that each text's sound stands on its own in the recording.
            QTimer::singleShot(700, [&voice, n] {
                voice.enqueue({1, n + 1, kTexts.at(n), voice.voices().value(1), 1});
            });
        } else {
            QTimer::singleShot(800, &app, &QCoreApplication::quit);
        }
    });
    QTimer::singleShot(1000, [&] { voice.enqueue({1, 1, kTexts.at(0), voice.voices().value(1), 1}); });
    QTimer::singleShot(60000, &app, &QCoreApplication::quit);
    app.exec();
    monitor.stop();

    // The texts' sound: runs of audible samples, a pause of 400 ms or more between two texts.
    const auto* s = reinterpret_cast<const int16_t*>(recorded.constData());
    const qsizetype n = recorded.size() / 2;
    QList<QPair<double, double>> sounds;
    for (qsizetype i = 0; i < n; ++i) {
        if (std::abs(s[i]) < 64) continue;
        const double at = offsetMs + double(i) / 16.0;
        if (!sounds.isEmpty() && at - sounds.last().second < 400)
            sounds.last().second = at;
        else
            sounds.append({at, at});
    }
    if (sounds.size() != streams.size()) {
        std::fprintf(stderr, "heard %d sounds for %d texts\n", int(sounds.size()), int(streams.size()));
        return 1;
    }
    QList<double> startLag, endLag;
    std::printf(
        "Voice events against the sound in the sink (ms; positive: the event came after the sound)\n");
    for (int i = 0; i < streams.size(); ++i) {
        const double start = streams[i].startEventMs - sounds[i].first;
        const double end = streams[i].endEventMs - sounds[i].second;
        // The first text after start-up is told apart: the sound server sets its first stream up late.
        if (i > 0) {
            startLag << start;
            endLag << end;
        }
        std::printf("  %-56s start %+7.1f  end %+7.1f\n", qPrintable("\"" + kTexts[i] + "\""), start, end);
    }
    auto worst = [](const QList<double>& v) {
        double w = 0;
        for (double x : v)
            w = std::max(w, std::abs(x));
        return w;
    };
    std::printf(
        "  After the first text: StartStream median %+.1f ms, worst %.1f ms; EndStream median %+.1f ms, "
        "worst %.1f ms\n",
        median(startLag), worst(startLag), median(endLag), worst(endLag));
    return 0;
}
