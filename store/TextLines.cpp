#include "store/TextLines.h"

#include <QFile>

namespace qz {

QStringList splitTextLines(const QByteArray& bytes, TextEncoding encoding) {
    QStringList lines;
    const char* data = bytes.constData();
    const qsizetype size = bytes.size();
    qsizetype start = 0;
    qsizetype pos = 0;
    while (pos < size) {
        if (data[pos] == '\r') {
            lines.append(decodeText(QByteArray(data + start, pos - start), encoding));
            ++pos;
            if (pos < size && data[pos] == '\n') ++pos;
            start = pos;
        } else {
            ++pos;
        }
    }
    if (start < size) lines.append(decodeText(QByteArray(data + start, size - start), encoding));
    return lines;
}

std::optional<QStringList> readTextLines(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = file.errorString();
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error) *error = file.errorString();
        return std::nullopt;
    }
    return splitTextLines(bytes, detectEncoding(bytes));
}

} // namespace qz
