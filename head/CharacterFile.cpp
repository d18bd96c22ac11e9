#include "head/CharacterFile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace qz {
namespace {

// The file header, the largest info header, a full colour table and the largest picture at 32 bits.
constexpr qint64 MaxFileSize = 14 + 124 + 256 * 4 + qint64(MaxStripWidth) * 4 * MaxStripHeight;

bool isPlainFileName(const QString& name) {
    for (QChar c : name)
        if (c == u'/' || c == u'\\' || c == u'\r' || c == u'\n' || c == QChar(0)) return false;
    return true;
}

// `name` in `folder`, spelled as given when it is there, otherwise the one entry equal to it without regard
// to letter case (the first in sorted order when several are).
std::optional<QString> findIgnoringCase(const QString& folder, const QString& name, QDir::Filters kind) {
    const QDir dir(folder);
    if (QFileInfo::exists(dir.filePath(name))) return dir.filePath(name);
    const QStringList entries = dir.entryList(kind | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0) return dir.filePath(entry);
    return std::nullopt;
}

quint32 le32(const QByteArray& b, int at) {
    return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 | quint32(quint8(b[at + 2])) << 16 |
           quint32(quint8(b[at + 3])) << 24;
}
quint16 le16(const QByteArray& b, int at) {
    return quint16(quint8(b[at]) | quint8(b[at + 1]) << 8);
}

// What the bitmap's headers promise, checked against the bytes before any decoder sees them.
bool checkBitmapHeader(const QByteArray& bytes, QSize& size, QString& error) {
    constexpr int FileHeader = 14;
    if (bytes.size() < FileHeader + 4) {
        error = QStringLiteral("it is too short to hold a picture (%1 bytes).").arg(bytes.size());
        return false;
    }
    if (bytes[0] != 'B' || bytes[1] != 'M') {
        error = QStringLiteral("it is not a Windows bitmap.");
        return false;
    }
    const quint32 infoSize = le32(bytes, FileHeader);
    // The header sizes the format's versions have had.
    constexpr quint32 knownSizes[] = {12, 16, 40, 52, 56, 64, 108, 124};
    if (std::find(std::begin(knownSizes), std::end(knownSizes), infoSize) == std::end(knownSizes)) {
        error =
            QStringLiteral("it is not a Windows bitmap (its picture header is %1 bytes long).").arg(infoSize);
        return false;
    }
    if (bytes.size() < qsizetype(FileHeader + infoSize)) {
        error = QStringLiteral("it is cut short: its picture header is incomplete.");
        return false;
    }
    qint64 width = 0, height = 0;
    int bitsPerPixel = 0;
    quint32 compression = 0;
    if (infoSize == 12) {
        width = qint16(le16(bytes, 18));
        height = qint16(le16(bytes, 20));
        bitsPerPixel = le16(bytes, 24);
    } else {
        width = qint32(le32(bytes, 18));
        height = qint32(le32(bytes, 22));
        bitsPerPixel = le16(bytes, 28);
        compression = le32(bytes, 30);
    }
    height = std::llabs(height); // a negative height is a picture stored top row first
    if (width <= 0 || height == 0) {
        error = QStringLiteral("it holds no picture (%1 x %2 pixels).").arg(width).arg(height);
        return false;
    }
    if (width > MaxStripWidth || height > MaxStripHeight) {
        error = QStringLiteral("it claims a picture of %1 x %2 pixels, larger than a head may be (%3 x %4).")
                    .arg(width)
                    .arg(height)
                    .arg(MaxStripWidth)
                    .arg(MaxStripHeight);
        return false;
    }
    const qint64 pixelsAt = le32(bytes, 10);
    if (pixelsAt >= bytes.size()) {
        error = QStringLiteral("it is cut short: it ends before its pixels begin.");
        return false;
    }
    // Uncompressed rows have a known length; compressed ones are left to the decoder.
    constexpr quint32 Uncompressed = 0, BitFields = 3, AlphaBitFields = 6;
    if (compression == Uncompressed || compression == BitFields || compression == AlphaBitFields) {
        const qint64 rowBytes = (width * bitsPerPixel + 31) / 32 * 4;
        if (pixelsAt + rowBytes * height > bytes.size()) {
            error = QStringLiteral("it is cut short: %1 x %2 pixels need %3 bytes, the file has %4.")
                        .arg(width)
                        .arg(height)
                        .arg(pixelsAt + rowBytes * height)
                        .arg(bytes.size());
            return false;
        }
    }
    size = QSize(int(width), int(height));
    return true;
}

} // namespace

std::optional<QString> findCharacterFile(const QString& characterFolder, const QString& name) {
    if (!isPlainFileName(name)) return std::nullopt;
    // The folder itself is found without regard to case as well ("Character" and "character" are one).
    const QFileInfo folderInfo(characterFolder);
    std::optional<QString> folder = characterFolder;
    if (!folderInfo.isDir())
        folder =
            findIgnoringCase(folderInfo.path(), folderInfo.fileName(), QDir::Dirs | QDir::NoDotAndDotDot);
    if (!folder) return std::nullopt;
    const std::optional<QString> path = findIgnoringCase(*folder, name + QStringLiteral(".qzc"), QDir::Files);
    if (!path) return std::nullopt;
    const QFileInfo file(*path);
    // Hidden files do not count as there, as a listing of the folder would not show them.
    if (!file.isFile() || file.isHidden()) return std::nullopt;
    return path;
}

std::optional<QByteArray> readCharacterBytes(const QString& path, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("it cannot be opened (%1).").arg(file.errorString());
        return std::nullopt;
    }
    if (file.size() > MaxFileSize) {
        error = QStringLiteral("it is %1 bytes long, larger than any head can be.").arg(file.size());
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = QStringLiteral("it cannot be read (%1).").arg(file.errorString());
        return std::nullopt;
    }
    return bytes;
}

std::optional<CharacterFile> decodeCharacterFile(QByteArray bytes, QString& error) {
    if (bytes.isEmpty()) {
        error = QStringLiteral("it is empty.");
        return std::nullopt;
    }
    CharacterFile result;
    result.voice = quint8(bytes[0]);
    bytes[0] = 'B'; // only this copy: the file itself keeps its voice byte
    QSize size;
    if (!checkBitmapHeader(bytes, size, error)) return std::nullopt;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    // The header check above bounds the picture; Qt's own limit would refuse the largest heads.
    const int limit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(0);
    QImage picture;
    const bool read = reader.read(&picture);
    QImageReader::setAllocationLimit(limit);
    if (!read || picture.size() != size) {
        error = QStringLiteral("it cannot be decoded as a bitmap (%1).")
                    .arg(read ? QStringLiteral("the picture is not the size its header gives")
                              : reader.errorString());
        return std::nullopt;
    }
    result.strip = picture.convertToFormat(QImage::Format_RGB32);
    return result;
}

} // namespace qz
