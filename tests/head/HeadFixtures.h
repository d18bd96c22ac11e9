#pragma once

// Small character files made by the tests, a program folder to put them in, and message boxes that record
// what they were asked to show.

#include "platform/ports/UserMessages.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace qz::test {

// A strip of 14 frames of `frameWidth` x `height` on white; each frame holds a filled square of its own
// colour, so frame k can be told from the others, and frame 0's square is its outline.
inline QImage makeStrip(int frameWidth = 20, int height = 16) {
    QImage strip(frameWidth * 14, height, QImage::Format_RGB32);
    strip.fill(Qt::white);
    QPainter painter(&strip);
    for (int k = 0; k < 14; ++k)
        painter.fillRect(k * frameWidth + 2, 2, frameWidth - 4, height - 4,
                         QColor(10 * k, 100, 200 - 10 * k));
    return strip;
}

// The picture as a 24-bit Windows bitmap whose first byte holds `voice`.
inline QByteArray characterBytes(const QImage& strip, int voice = 66) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    strip.convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP");
    bytes[0] = char(voice);
    return bytes;
}

inline QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline QByteArray sha256(const QString& path) {
    return QCryptographicHash::hash(readAll(path), QCryptographicHash::Sha256);
}

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(bytes);
}

// A program folder with an empty character/ folder.
struct ProgramFolderFixture {
    QTemporaryDir dir;
    ProgramFolderFixture() { QDir(dir.path()).mkpath(QStringLiteral("character")); }
    QString root() const { return dir.path(); }
    QString character(const QString& file) const { return dir.path() + QStringLiteral("/character/") + file; }
    void putHead(const QString& file, const QByteArray& bytes) const { writeFile(character(file), bytes); }
};

class RecordingMessages : public UserMessages {
public:
    void warning(const QString& title, const QString& text) override {
        titles.append(title);
        texts.append(text);
    }
    QStringList titles;
    QStringList texts;
};

} // namespace qz::test
