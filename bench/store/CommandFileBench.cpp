// Loads and saves a command file of 32,767 records and prints the median time of each.

#include "store/BrainList.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double medianMs(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

} // namespace

int main() {
    constexpr int kRecords = 32767;
    constexpr int kRuns = 15;
    QTemporaryDir dir;
    const QString path = dir.filePath("brain.qzb");
    {
        qz::BrainList list(path);
        for (int i = 0; i < kRecords; ++i)
            list.append(
                QStringLiteral("open document number %1|plugin|runprogram|/home/user/documents/file%1.odt")
                    .arg(i));
        if (!list.save().isEmpty()) {
            std::fprintf(stderr, "could not write %s\n", qPrintable(path));
            return 1;
        }
    }
    std::vector<double> loads, saves;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        qz::BrainList list(path);
        timer.start();
        list.load();
        loads.push_back(timer.nsecsElapsed() / 1e6);
        if (list.count() != kRecords) {
            std::fprintf(stderr, "loaded %d records, expected %d\n", list.count(), kRecords);
            return 1;
        }
        timer.restart();
        const QString failure = list.save();
        saves.push_back(timer.nsecsElapsed() / 1e6);
        if (!failure.isEmpty()) return 1;
    }
    std::printf(
        "command file, %d records, median of %d runs: load %.2f ms, save %.2f ms (goal: each under 30 ms)\n",
        kRecords, kRuns, medianMs(loads), medianMs(saves));
    return 0;
}
