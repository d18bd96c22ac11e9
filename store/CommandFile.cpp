#include "store/CommandFile.h"

#include "store/TextLines.h"

#include "store/SafeSave.h"

#include <QFile>
#include <QFileInfo>

namespace qz::CommandFile {

bool serializeRecords(const QStringList& records, TextEncoding encoding, QByteArray& out) {
    out.clear();
    QByteArray line;
    for (const QString& record : records) {
        if (!encodeText(record, encoding, line)) return false;
        out.append(line);
        out.append("\r\n", 2);
    }
    return true;
}

ReadResult read(const QString& path) {
    ReadResult result;
    QFile file(path);
    if (!QFileInfo::exists(path)) {
        result.status = ReadResult::Status::Missing;
        return result;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        result.status = ReadResult::Status::Unreadable;
        result.error = file.errorString();
        return result;
    }
    if (file.size() > kMaxBytes) {
        result.status = ReadResult::Status::Unreadable;
        result.error = QStringLiteral("It holds %1 MB; Quorzel reads command files of at most %2 MB")
                           .arg(file.size() / (1024 * 1024))
                           .arg(kMaxBytes / (1024 * 1024));
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.status = ReadResult::Status::Unreadable;
        result.error = file.errorString();
        return result;
    }
    // Loading a file that is not text would turn it into nonsense records, and the next save would write
    // those over whatever the file really is.
    result.error = whyNotText(bytes);
    if (!result.error.isEmpty()) {
        result.status = ReadResult::Status::Unreadable;
        return result;
    }
    result.encoding = detectEncoding(bytes);
    result.records = splitTextLines(bytes, result.encoding);
    return result;
}

QString write(const QString& path, const QStringList& records, TextEncoding& encoding, FileDevice& device) {
    QByteArray bytes;
    if (!serializeRecords(records, encoding, bytes)) {
        encoding = TextEncoding::Utf8;
        serializeRecords(records, encoding, bytes);
    }
    return saveFileSafely(path, bytes, device);
}

} // namespace qz::CommandFile
