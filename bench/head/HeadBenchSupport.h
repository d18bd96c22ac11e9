#pragma once

// What the head benchmarks share: a program folder holding the shipped heads, message boxes printed
// instead of shown, and percentiles.

#include "platform/ports/UserMessages.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace qz::bench {

class PrintedMessages : public UserMessages {
public:
    void warning(const QString& title, const QString& text) override {
        std::fprintf(stderr, "message: %s: %s\n", qPrintable(title), qPrintable(text));
        ++count;
    }
    int count = 0;
};

// A temporary program folder whose character/ holds Robot, Cat and Sam and names the Robot, and whose
// data/ holds the shipped commands.
class ShippedHeads {
public:
    ShippedHeads() {
        QDir(dir_.path()).mkpath("character");
        QDir(dir_.path()).mkpath("data");
        QFile::copy(QStringLiteral(QZ_CONTENT_DIR "/data/brain.qzb"), dir_.path() + "/data/brain.qzb");
        QFile current(character("currenthead.qzs"));
        if (current.open(QIODevice::WriteOnly)) current.write("Robot\r\n");
        for (const char* head : {"Robot", "Cat", "Sam"})
            QFile::copy(QStringLiteral(QZ_CONTENT_DIR "/character/") + head + ".qzc",
                        character(head) + ".qzc");
    }
    QString root() const { return dir_.path(); }
    QString character(const QString& file) const { return dir_.path() + "/character/" + file; }

private:
    QTemporaryDir dir_;
};

inline double percentile(std::vector<double> values, double p) {
    if (values.empty()) return NAN;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(p * double(values.size() - 1) + 0.5))];
}

} // namespace qz::bench
