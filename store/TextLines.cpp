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
        const char c = data[pos];
        if (c == '\r' || c == '\n') {
            lines.append(decodeText(QByteArray(data + start, pos - start), encoding));
            ++pos;
            if (c == '\r' && pos < size && data[pos] == '\n') ++pos;
            start = pos;
        } else {
            ++pos;
        }
    }
    if (start < size) lines.append(decodeText(QByteArray(data + start, size - start), encoding));
    return lines;
}

QString whyNotText(const QByteArray& bytes) {
    if (bytes.contains('\0')) return QStringLiteral("It is not a text file: it holds NUL bytes");
    qsizetype controls = 0;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && byte != '\t' && byte != '\r' && byte != '\n' && byte != '\f') || byte == 0x7F)
            ++controls;
    }
    // Text has next to none; a quarter already means a program's data, not lines someone wrote.
    if (controls * 4 > bytes.size())
        return QStringLiteral("It is not a text file: most of it is control characters");
    return {};
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
