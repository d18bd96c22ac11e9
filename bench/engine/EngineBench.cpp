// How fast a spoken command becomes its plugin's Main, and how long RebuildGrammar takes for large lists.
//
// 1. RebuildGrammar for 1,000 and 10,000 commands, with the fake recogniser (the program's own cost) and
//    with PocketSphinx (the grammar handed to the decoder as well).
// 2. The program's own part: recognition event to the start of Main, for 50 plugin commands.
// 3. End of speech to the start of Main with the real recogniser fed speech made by espeak-ng, paced as a
//    microphone would be, for the same 50 commands.

#include "engine/CommandGrammar.h"
#include "engine/Form1.h"
#include "platform/audio/BufferAudioInput.h"
#include "platform/audio/WavFile.h"
#include "platform/fake/FakeRecognizer.h"
#include "platform/fake/FakeSynthesizer.h"
#include "platform/speech/PocketSphinxRecognizer.h"
#include "platform/speech/RecoContext.h"
#include "platform/speech/RecoResult.h"
#include "plugins/ScriptRunner.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include <sys/resource.h>
#include <vector>

namespace qz {
namespace {

// Fifty everyday commands; each runs the probe plugin, whose Main speaks its first setting at once.
const char* const kPhrases[] = {
    "open the mail",
    "check my calendar",
    "start the browser",
    "open the terminal",
    "play some music",
    "pause the music",
    "next song",
    "previous song",
    "volume up",
    "volume down",
    "mute the sound",
    "open my documents",
    "open the downloads",
    "take a screenshot",
    "lock the screen",
    "show the desktop",
    "close this window",
    "maximise the window",
    "switch windows",
    "open the calculator",
    "open the editor",
    "save the file",
    "print this page",
    "copy that",
    "paste that",
    "undo that",
    "redo that",
    "select all",
    "scroll down",
    "scroll up",
    "go back",
    "go forward",
    "reload the page",
    "open a new tab",
    "close the tab",
    "zoom in",
    "zoom out",
    "read the selection",
    "what time is it",
    "what is the date",
    "start dictation",
    "stop dictation",
    "open the settings",
    "check the weather",
    "open the news",
    "call home",
    "send a message",
    "find a file",
    "empty the trash",
    "turn off the display",
};
constexpr int kCommands = int(sizeof(kPhrases) / sizeof(kPhrases[0]));

double percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t index = std::min(values.size() - 1, std::size_t(p * double(values.size() - 1) + 0.5));
    return values[index];
}

// Remembers when each text was handed to the voice: Main's first act in the probe plugin.
class StampingSynthesizer : public FakeSynthesizer {
public:
    explicit StampingSynthesizer(QElapsedTimer& clock) : clock(clock) {}
    void enqueue(const SpeechRequest& request) override {
        spoken.push_back({request.text, clock.nsecsElapsed() / 1e6});
        FakeSynthesizer::enqueue(request);
        finishAll(); // the voice is idle again for the next command
    }
    struct Entry {
        QString text;
        double atMs;
    };
    QElapsedTimer& clock;
    std::vector<Entry> spoken;
};

// A failure during a benchmark is printed, never waited on.
class PrintedMessages : public UserMessages {
public:
    void warning(const QString& title, const QString& text) override {
        std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
    }
};

struct Program {
    Program(Recognizer& recognizer, Synthesizer& synthesizer, const QString& folder) : scripts(messages) {
        Form1Services services;
        services.messages = &messages;
        services.programFolder = ProgramFolder(folder);
        services.recognizer = &recognizer;
        services.synthesizer = &synthesizer;
        services.scripts = &scripts;
        services.endProgram = [] {};
        form = std::make_unique<Form1>(services);
    }
    PrintedMessages messages;
    ScriptRunner scripts;
    std::unique_ptr<Form1> form;
};

QString makeProgramFolder(const QTemporaryDir& dir, int commands) {
    QDir(dir.path()).mkpath("data");
    QFile brain(dir.filePath("data/brain.qzb"));
    brain.open(QIODevice::WriteOnly);
    brain.write("computer start listening|activate|Ready\r\ncomputer stop listening|deactivate|Bye\r\n"
                "computer go to sleep|sleep|Night\r\n");
    for (int i = 0; i < commands; ++i)
        brain.write(
            QStringLiteral("%1|plugin|probe|%2\r\n")
                .arg(i < kCommands ? kPhrases[i] : qPrintable(QStringLiteral("command number %1").arg(i)))
                .arg(i)
                .toUtf8());
    brain.close();
    QFile probe(dir.filePath("data/probe.qzp"));
    probe.open(QIODevice::WriteOnly);
    probe.write("Sub Main\r\n  speak settings(1)\r\nEnd Sub\r\n");
    return dir.path();
}

void benchRebuild(const char* label, Recognizer& recognizer, int commands) {
    QTemporaryDir dir;
    FakeSynthesizer synthesizer;
    Program program(recognizer, synthesizer, makeProgramFolder(dir, commands));
    program.form->Form_Load();
    std::vector<double> times;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer timer;
        timer.start();
        program.form->RebuildGrammar();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("RebuildGrammar, %6d commands, %-12s median %8.2f ms (goal for 10,000: under 200 ms)\n",
                commands + 3, label, percentile(times, 0.5));
}

void benchDispatch() {
    QTemporaryDir dir;
    QElapsedTimer clock;
    clock.start();
    FakeRecognizer recognizer;
    StampingSynthesizer synthesizer(clock);
    Program program(recognizer, synthesizer, makeProgramFolder(dir, kCommands));
    program.form->Form_Load();
    program.form->state().activate();
    std::vector<double> times;
    for (int round = 0; round < 4; ++round) {
        for (int i = 0; i < kCommands; ++i) {
            const int index = i + 3;
            const RecoResult result(kPhrases[i], 0,
                                    {PhraseProperty({}, 0, 0),
                                     PhraseProperty({}, 1, 1, {PhraseProperty(kPhrases[i], index, index)})});
            const double start = clock.nsecsElapsed() / 1e6;
            program.form->RecoContext_Recognition(result);
            if (synthesizer.spoken.empty() || synthesizer.spoken.back().text != QString::number(i)) {
                std::fprintf(stderr, "the probe plugin did not run for \"%s\"\n", kPhrases[i]);
                return;
            }
            times.push_back(synthesizer.spoken.back().atMs - start);
        }
    }
    std::printf(
        "recognition event to Main, %d runs: median %.3f ms, 95th percentile %.3f ms (goal: under 5 ms)\n",
        int(times.size()), percentile(times, 0.5), percentile(times, 0.95));
}

QByteArray speech(const QString& text, const QTemporaryDir& dir) {
    const QString wav = dir.filePath("phrase.wav");
    QProcess espeak;
    espeak.start("espeak-ng", {"-v", "en-us", "-s", "160", "-w", wav, text});
    if (!espeak.waitForFinished(20000) || espeak.exitCode() != 0) return {};
    return readWav(wav).samples;
}

void benchEndOfSpeech(int commands, int spoken) {
    QTemporaryDir dir;
    // Speech for every phrase, each followed by a second of silence, in one stream.
    QByteArray stream(16000 * 2, '\0');
    std::vector<qint64> speechEndsMs;
    for (int i = 0; i < spoken; ++i) {
        const QByteArray samples = speech(kPhrases[i], dir);
        if (samples.isEmpty()) {
            std::printf("end of speech to Main: skipped, espeak-ng is not available\n");
            return;
        }
        stream.append(samples);
        // The voice's file ends in silence of its own: the speech ends at its last audible sample.
        const auto* values = reinterpret_cast<const qint16*>(samples.constData());
        qsizetype last = samples.size() / 2;
        while (last > 0 && std::abs(values[last - 1]) < 300)
            --last;
        speechEndsMs.push_back((stream.size() - samples.size() + last * 2) / 32);
        stream.append(QByteArray(16000 * 2 * 13 / 10, '\0'));
    }
    auto input = std::make_unique<BufferAudioInput>(stream, true);
    BufferAudioInput* feed = input.get();
    QElapsedTimer clock;
    clock.start();
    // When each chunk reached the recogniser (on its thread), so that the end of each phrase is timed at
    // the moment its last samples were heard, whatever the pacing of the stream.
    struct Delivery {
        qint64 bytesSoFar;
        double atMs;
    };
    std::mutex deliveriesLock;
    std::vector<Delivery> deliveries;
    qint64 bytesSoFar = 0;
    QObject::connect(
        feed, &AudioInput::audioReady, feed,
        [&](const QByteArray& chunk) {
            std::lock_guard<std::mutex> lock(deliveriesLock);
            bytesSoFar += chunk.size();
            deliveries.push_back({bytesSoFar, clock.nsecsElapsed() / 1e6});
        },
        Qt::DirectConnection);
    PocketSphinxRecognizer recognizer(std::move(input));
    if (!recognizer.status().isEmpty()) {
        std::printf("end of speech to Main: skipped, %s\n", qPrintable(recognizer.status()));
        return;
    }
    StampingSynthesizer synthesizer(clock);
    Program program(recognizer, synthesizer, makeProgramFolder(dir, commands));
    QElapsedTimer startUp;
    startUp.start();
    program.form->Form_Load();
    const double startUpMs = startUp.nsecsElapsed() / 1e6;
    program.form->state().activate();
    QEventLoop loop;
    QObject::connect(feed, &AudioInput::finished, &loop, &QEventLoop::quit);
    loop.exec();
    QCoreApplication::processEvents();
    std::vector<double> latencies;
    int right = 0;
    for (const auto& entry : synthesizer.spoken) {
        bool ok = false;
        const int i = entry.text.toInt(&ok);
        if (!ok || i < 0 || i >= spoken) continue;
        ++right;
        const qint64 endByte = speechEndsMs[std::size_t(i)] * 32;
        std::lock_guard<std::mutex> lock(deliveriesLock);
        const auto heard = std::find_if(deliveries.begin(), deliveries.end(),
                                        [&](const Delivery& d) { return d.bytesSoFar >= endByte; });
        if (heard != deliveries.end()) latencies.push_back(entry.atMs - heard->atMs);
    }
    std::printf(
        "%d commands in the file (%d in the grammar), real recogniser: start-up %.0f ms (goal: under "
        "5 s); end of speech to Main, %d of %d said commands ran: median %.0f ms, 95th percentile %.0f ms "
        "(goal: median under 500 ms)\n",
        commands + 3, std::min(commands + 3, CommandGrammar::kMaxPhrases), startUpMs, right, spoken,
        percentile(latencies, 0.5), percentile(latencies, 0.95));
}

// The share of one core the program takes while it listens to 20 s of silence with the command grammar.
void benchListening(int commands) {
    QTemporaryDir dir;
    auto input = std::make_unique<BufferAudioInput>(QByteArray(16000 * 2 * 20, '\0'), true);
    BufferAudioInput* feed = input.get();
    PocketSphinxRecognizer recognizer(std::move(input));
    if (!recognizer.status().isEmpty()) {
        std::printf("listening to silence: skipped, %s\n", qPrintable(recognizer.status()));
        return;
    }
    QElapsedTimer clock;
    clock.start();
    StampingSynthesizer synthesizer(clock);
    Program program(recognizer, synthesizer, makeProgramFolder(dir, commands));
    program.form->Form_Load();
    program.form->state().activate();
    QEventLoop loop;
    QObject::connect(feed, &AudioInput::finished, &loop, &QEventLoop::quit);
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    QElapsedTimer wall;
    wall.start();
    loop.exec();
    getrusage(RUSAGE_SELF, &after);
    const auto seconds = [](const rusage& u) {
        return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
    };
    std::printf("listening to 20 s of silence with %d commands in the file: %.1f %% of one core (goal: under "
                "10 %%)\n",
                commands + 3, 100.0 * (seconds(after) - seconds(before)) / (wall.nsecsElapsed() / 1e9));
}

} // namespace
} // namespace qz

// The spoken commands, alone in the file, then among 10,000 and 100,000 commands.
constexpr int kCommandsForLatency = qz::kCommands;

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    for (int commands : {1000, 10000}) {
        if (argc > 1) break;
        qz::FakeRecognizer fake;
        qz::benchRebuild("(fake)", fake, commands);
        qz::PocketSphinxRecognizer sphinx(std::make_unique<qz::BufferAudioInput>());
        qz::benchRebuild("(PocketSphinx)", sphinx, commands);
    }
    // Figures as they come: a long run that is cut short still shows what it measured.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const bool largeOnly = argc > 1 && std::strcmp(argv[1], "--large") == 0;
    if (!largeOnly) {
        qz::benchDispatch();
        qz::benchEndOfSpeech(kCommandsForLatency, kCommandsForLatency);
    }
    // Among many commands: fewer of them said, so that the run stays short.
    for (int commands : {10000 - 3, 100000 - 3}) {
        qz::benchListening(commands);
        qz::benchEndOfSpeech(commands, 12);
    }
    return 0;
}
