// The main window's costs with long command lists, on Qt's offscreen platform unless a display is chosen:
//
// 1. refreshbrain + RebuildGrammar on the UI thread for 1,000, 10,000 and 100,000 commands, with
//    PocketSphinx (the grammar handed to the decoder) and with the fake recogniser (the program's own part).
// 2. The list view's own rebuild for 1,000 to 100,000 commands, and one scroll step (the scroll bar moved
//    by a row, the rows placed and painted) and one drag step at 100,000 commands.
// 3. Start-up to an idle event loop with 10,000 commands and the real services, model loading included,
//    each run a fresh process.
// 4. The resident memory the list adds at 100,000 commands, in a fresh process.

#include "app/QuorzelProgram.h"
#include "app/RealServices.h"
#include "engine/Form1.h"
#include "listview/CommandList.h"
#include "platform/audio/AudioOutput.h"
#include "platform/audio/BufferAudioInput.h"
#include "platform/fake/FakeRecognizer.h"
#include "platform/fake/FakeSynthesizer.h"
#include "platform/ports/UserMessages.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace qz {
namespace {

class PrintedMessages : public UserMessages {
public:
    void warning(const QString& title, const QString& text) override {
        std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
    }
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

double percentile95(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[std::min(values.size() - 1, values.size() * 95 / 100)];
}

// The state commands and `commands` - 3 plugin commands, with distinct everyday phrases.
QStringList records(int commands) {
    static const char* const words[] = {"open",  "close",  "start", "stop",     "show",    "hide",    "play",
                                        "pause", "mail",   "music", "window",   "editor",  "browser", "notes",
                                        "files", "photos", "radio", "calendar", "weather", "news"};
    QStringList list = {"computer are you there|activate|I am listening",
                        "thank you computer|deactivate|I have stopped listening",
                        "computer go to sleep|sleep|Going to sleep"};
    for (int i = 3; i < commands; ++i) {
        QString phrase;
        for (int n = i; n > 0; n /= 20)
            phrase += QLatin1String(words[n % 20]) + QLatin1Char(' ');
        list << phrase.trimmed() + QStringLiteral("|plugin|say|reply %1").arg(i);
    }
    return list;
}

void makeProgramFolder(const QTemporaryDir& dir, int commands) {
    QDir(dir.path()).mkpath("data");
    QDir(dir.path()).mkpath("character");
    QFile brain(dir.filePath("data/brain.qzb"));
    brain.open(QIODevice::WriteOnly);
    brain.write((records(commands).join("\r\n") + "\r\n").toUtf8());
    brain.close();
    QFile head(dir.filePath("character/currenthead.qzs"));
    head.open(QIODevice::WriteOnly);
    head.write("none\r\n");
}

void benchRefresh(int commands, bool sphinx) {
    QTemporaryDir dir;
    makeProgramFolder(dir, commands);
    PrintedMessages messages;
    std::unique_ptr<RealServices> real;
    FakeRecognizer fakeRecognizer;
    FakeSynthesizer synthesizer;
    PlatformServices services;
    if (sphinx) {
        real = std::make_unique<RealServices>(std::make_unique<BufferAudioInput>(),
                                              std::make_unique<TimedSilentOutput>());
        services = real->services();
    } else {
        services.recognizer = &fakeRecognizer;
        services.synthesizer = &synthesizer;
    }
    services.systemTrayAvailable = [] { return false; }; // the window shows
    QuorzelProgram program(dir.path(), services, &messages);
    Form1& form = program.form();
    form.Form_Load();
    QCoreApplication::processEvents();
    std::vector<double> times, refreshes;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer timer;
        timer.start();
        form.refreshbrain();
        const double refreshed = double(timer.nsecsElapsed()) / 1e6;
        form.RebuildGrammar();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
        refreshes.push_back(refreshed);
    }
    std::printf(
        "refreshbrain + RebuildGrammar, %6d commands, %-12s median %8.2f ms (goal at 10,000: under 50 ms); "
        "of it refreshbrain (view and file) %.2f ms\n",
        commands, sphinx ? "PocketSphinx" : "fake", median(times), median(refreshes));
    std::fflush(stdout);
}

void benchScrolling(int commands) {
    QTemporaryDir dir;
    CommandList list{ProgramFolder(dir.path())};
    list.show();
    // The view's part of a refresh, alone.
    for (int count : {1000, 10000, 100000}) {
        const QStringList some = records(count);
        list.rebuild(some);
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < 50; ++i)
            list.rebuild(some);
        std::printf("the list view's rebuild, %6d commands: %.3f ms\n", count,
                    double(timer.nsecsElapsed()) / 1e6 / 50);
    }
    list.rebuild(records(commands));
    QCoreApplication::processEvents();
    QScrollBar* bar = list.VScroll1();
    std::vector<double> steps;
    for (int i = 0; i < 400; ++i) {
        const int value = (i * 7919) % bar->maximum(); // all over the list
        bar->setValue(value);
        QCoreApplication::processEvents();
        QElapsedTimer timer;
        timer.start();
        bar->setValue(value + 1);
        list.repaint(); // placed and painted, as the screen shows it
        steps.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    // A drag step: the pointer moved by a few pixels with the left button held, then the rows painted.
    bar->setValue(bar->maximum() / 2);
    QCoreApplication::processEvents();
    ListBar* row = list.row(bar->value() + 5);
    const QPointF press(150, 10);
    QMouseEvent down(QEvent::MouseButtonPress, press, row->mapToGlobal(press), Qt::LeftButton, Qt::LeftButton,
                     {});
    QCoreApplication::sendEvent(row, &down);
    std::vector<double> drags;
    for (int i = 1; i <= 200; ++i) {
        const QPointF at(150, 10 + ((i / 20) % 2 ? -(i % 20) : (i % 20)) * 3);
        QMouseEvent move(QEvent::MouseMove, at, row->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, {});
        QElapsedTimer timer;
        timer.start();
        QCoreApplication::sendEvent(row, &move);
        list.repaint();
        drags.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("one scroll step, %d commands: median %.3f ms, 95th percentile %.3f ms (goal: under 4 ms)\n",
                commands, median(steps), percentile95(steps));
    std::printf("one drag step,   %d commands: median %.3f ms, 95th percentile %.3f ms\n", commands,
                median(drags), percentile95(drags));
    std::fflush(stdout);
}

long residentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toLong();
    return 0;
}

// In a fresh process: start-up with the real services until the event loop is idle. Prints the ms.
int startupChild(int commands) {
    QElapsedTimer clock;
    clock.start();
    QTemporaryDir dir;
    makeProgramFolder(dir, commands);
    const double folderMs = double(clock.nsecsElapsed()) / 1e6; // not the program's: taken off
    PrintedMessages messages;
    RealServices real(std::make_unique<BufferAudioInput>(), std::make_unique<TimedSilentOutput>());
    PlatformServices services = real.services();
    services.systemTrayAvailable = [] { return false; };
    QuorzelProgram program(dir.path(), services, &messages);
    program.form().Form_Load();
    QTimer::singleShot(0, [&] {
        std::printf("%.1f\n", double(clock.nsecsElapsed()) / 1e6 - folderMs);
        QCoreApplication::exit(0);
    });
    return QCoreApplication::exec();
}

// In a fresh process: the resident memory that the list's view adds for `commands` records, and what the
// whole program holds for them beyond an empty list. Prints "view-kB program-kB".
int memoryChild(int commands) {
    const QStringList list = records(commands);
    {
        // The view alone, over records that exist already.
        QTemporaryDir dir;
        auto view = std::make_unique<CommandList>(ProgramFolder(dir.path()));
        view->show();
        view->rebuild(list.mid(0, 3)); // what any list costs, fonts and pictures included
        QCoreApplication::processEvents();
        const long before = residentKb();
        view->rebuild(list);
        view->VScroll1()->setValue(commands / 2);
        QCoreApplication::processEvents();
        const long viewKb = residentKb() - before;
        view.reset();
        // The whole program with those commands against one with none (fake speech: the list's part).
        auto programKb = [](int count) {
            QTemporaryDir folder;
            makeProgramFolder(folder, count);
            PrintedMessages messages;
            FakeRecognizer recognizer;
            FakeSynthesizer synthesizer;
            PlatformServices services;
            services.recognizer = &recognizer;
            services.synthesizer = &synthesizer;
            services.systemTrayAvailable = [] { return false; };
            const long start = residentKb();
            QuorzelProgram program(folder.path(), services, &messages);
            program.form().Form_Load();
            QCoreApplication::processEvents();
            return residentKb() - start;
        };
        const long empty = programKb(3);
        const long full = programKb(commands);
        std::printf("%ld %ld\n", viewKb, full - empty);
    }
    return 0;
}

std::vector<double> childRuns(const char* mode, int commands, int runs) {
    std::vector<double> results;
    for (int i = 0; i < runs; ++i) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(QCoreApplication::applicationFilePath(), {mode, QString::number(commands)});
        child.waitForFinished(120000);
        for (const QByteArray& field : child.readAllStandardOutput().trimmed().split(' '))
            results.push_back(field.toDouble());
    }
    return results;
}

} // namespace
} // namespace qz

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    if (argc == 3 && std::strcmp(argv[1], "--startup") == 0) return qz::startupChild(std::atoi(argv[2]));
    if (argc == 3 && std::strcmp(argv[1], "--memory") == 0) return qz::memoryChild(std::atoi(argv[2]));

    for (int commands : {1000, 10000, 100000})
        qz::benchRefresh(commands, false);
    for (int commands : {1000, 10000, 100000})
        qz::benchRefresh(commands, true);
    qz::benchScrolling(100000);

    const std::vector<double> startups = qz::childRuns("--startup", 10000, 5);
    std::printf("start-up to an idle event loop, 10000 commands, real services: median %.0f ms over %zu runs "
                "(goal: under 1500 ms)\n",
                qz::median(startups), startups.size());
    const std::vector<double> memory = qz::childRuns("--memory", 100000, 1);
    if (memory.size() == 2)
        std::printf(
            "resident memory at 100000 commands: the list view adds %.0f kB; the program holds %.1f MB "
            "more than with 3 commands (goal for the list: under 30 MB)\n",
            memory[0], memory[1] / 1024);
    return 0;
}
