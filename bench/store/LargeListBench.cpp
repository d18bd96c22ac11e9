// Start-up with large command files: 10,000, 100,000 and 934,366 records (the last a 50 MB file), each in a
// process of its own, measured from the start of Form_Load to its end (reading the file, the list, the
// grammar with the fake recogniser, the refresh), with the process's peak resident memory.

#include "engine/Form1.h"
#include "platform/fake/FakeRecognizer.h"
#include "platform/fake/FakeSynthesizer.h"
#include "platform/ports/UserMessages.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class CountingMessages : public qz::UserMessages {
public:
    void warning(const QString&, const QString&) override { ++count; }
    int count = 0;
};

int startUp(const QString& folder, int records) {
    int argc = 1;
    char arg0[] = "large-list-bench";
    char* argv[] = {arg0, nullptr};
    QApplication app(argc, argv);
    qz::FakeRecognizer recognizer;
    qz::FakeSynthesizer synthesizer;
    CountingMessages messages;
    qz::Form1Services services;
    services.programFolder = qz::ProgramFolder(folder);
    services.recognizer = &recognizer;
    services.synthesizer = &synthesizer;
    services.messages = &messages;
    services.endProgram = [] {};
    qz::Form1 form(services);
    QElapsedTimer timer;
    timer.start();
    form.Form_Load();
    const double seconds = timer.nsecsElapsed() / 1e9;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf(
        "start-up with %d records (%.1f MB file): %.2f s, peak resident memory %.0f MB, %d message(s) "
        "(goal: under 10 s and 1 GB)\n",
        records, QFileInfo(folder + "/data/brain.qzb").size() / 1048576.0, seconds, usage.ru_maxrss / 1024.0,
        messages.count);
    std::fflush(stdout);
    return form.brainlist().count() == records ? 0 : 1;
}

} // namespace

int main() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int status = 0;
    for (const int records : {10000, 100000, 934366}) {
        QTemporaryDir dir;
        QDir(dir.path()).mkpath("data");
        QDir(dir.path()).mkpath("character");
        {
            QFile file(dir.filePath("data/brain.qzb"));
            file.open(QIODevice::WriteOnly);
            QByteArray bytes;
            bytes.reserve(records * 56);
            bytes += "computer are you there|activate|I am listening\r\n";
            for (int i = 1; i < records; ++i)
                bytes += "open report " + QByteArray::number(i) + "|plugin|runprogram|gedit r" +
                         QByteArray::number(i) + ".txt\r\n";
            file.write(bytes);
        }
        QFile none(dir.filePath("character/currenthead.qzs"));
        none.open(QIODevice::WriteOnly);
        none.write("none\r\n");
        none.close();
        const pid_t child = fork();
        if (child == 0) _exit(startUp(dir.path(), records));
        int result = 0;
        waitpid(child, &result, 0);
        if (!WIFEXITED(result) || WEXITSTATUS(result) != 0) status = 1;
    }
    return status;
}
