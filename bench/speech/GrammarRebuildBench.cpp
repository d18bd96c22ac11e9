// How long a command grammar of 1,000, 10,000 and 40,000 phrases takes to rebuild the way the engine does
// it (clear the list rule, one word transition per command, commit), with the fake recogniser (the object
// model's own cost) and with PocketSphinx (the time the UI thread waits for the decoder to switch).

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/audio/AudioInput.h"
#include "platform/fake/FakeRecognizer.h"
#include "platform/speech/PocketSphinxRecognizer.h"
#include "tests/platform/speech/CommandGrammar.h"

using namespace qz;

namespace {

QStringList commands(int count) {
    static const char* words[] = {"open",  "close", "start", "stop",   "play",    "show", "next",  "window",
                                  "music", "mail",  "file",  "volume", "weather", "news", "photo", "screen"};
    QStringList out;
    for (int i = 0; i < count; ++i)
        out << QString("%1 %2 number %3").arg(words[i % 16], words[(i / 16) % 16]).arg(i);
    return out;
}

void bench(const char* label, Recognizer& recognizer, int count) {
    const QStringList phrases = commands(count);
    auto g = testing::setupCommandGrammar(recognizer, {"volume up"});
    std::vector<double> times;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer timer;
        timer.start();
        testing::fillItems(g, phrases);
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
        testing::fillItems(g, {"volume up"}); // so that the next run changes the grammar again
    }
    std::sort(times.begin(), times.end());
    std::printf("grammar rebuild, %6d phrases, %-13s median %8.1f ms (goal for 10,000: under 200 ms)\n",
                count, label, times[1]);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    for (int count : {1000, 10000, 40000}) {
        FakeRecognizer fake;
        bench("(fake)", fake, count);
        PocketSphinxRecognizer sphinx(nullptr);
        // Without a microphone it still loads its model and takes grammars; wait until it has.
        while (sphinx.status().isEmpty())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        if (!sphinx.status().contains("microphone")) {
            std::printf("grammar rebuild (PocketSphinx): skipped, %s\n", qPrintable(sphinx.status()));
            continue;
        }
        bench("(PocketSphinx)", sphinx, count);
    }
    return 0;
}
