#pragma once

#include "store/FileDevice.h"
#include "store/TextEncoding.h"

#include <QString>
#include <QStringList>

namespace qz {

// The command file on disk: one record per line, each line ended by CR LF.
namespace CommandFile {

struct ReadResult {
    enum class Status { Ok, Missing, Unreadable };
    Status status = Status::Ok;
    QStringList records;
    TextEncoding encoding = TextEncoding::Utf8;
    QString error; // the reason, when Unreadable
};

// Every record followed by CR LF, nothing else. Returns false when a record cannot be encoded.
bool serializeRecords(const QStringList& records, TextEncoding encoding, QByteArray& out);

// A larger file is refused as unreadable (and so never written): in memory its records take about three
// times its size.
inline constexpr qint64 kMaxBytes = qint64(256) << 20;

// Reads the whole file, one record per line (splitTextLines). A missing file is not an error: it is an
// empty list that the first save creates.
ReadResult read(const QString& path);

// Saves the records with saveFileSafely: nothing is written when the file already holds these bytes, and a
// failure leaves the old file whole. Returns an empty string on success, otherwise the reason in words.
// A record that has no Windows-1252 form turns a Windows-1252 file into UTF-8 (`encoding` is updated)
// rather than losing characters.
QString write(const QString& path, const QStringList& records, TextEncoding& encoding,
              FileDevice& device = systemFileDevice());

} // namespace CommandFile
} // namespace qz
