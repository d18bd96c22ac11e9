#include "store/CommandFile.h"

#include "store/TextLines.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.status = ReadResult::Status::Unreadable;
        result.error = file.errorString();
        return result;
    }
    result.encoding = detectEncoding(bytes);
    result.records = splitTextLines(bytes, result.encoding);
    return result;
}

QString write(const QString& path, const QStringList& records, TextEncoding& encoding) {
    QByteArray bytes;
    if (!serializeRecords(records, encoding, bytes)) {
        encoding = TextEncoding::Utf8;
        serializeRecords(records, encoding, bytes);
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit()) return file.errorString();
    return {};
}

} // namespace qz::CommandFile
