#pragma once

// The 8-bit text files of the program folder, read as lines: the command file and the current-head file go
// through here. (Plugin files are read by the interpreter's plugin library, which vbsrun shares.)

#include "store/TextEncoding.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace qz {

// Splits the bytes of an 8-bit text file into lines: a line ends at CR LF, at CR or at LF, since Linux
// editors and `echo >>` end lines with LF alone; the last line counts without a line end; a final line end
// adds no empty line.
QStringList splitTextLines(const QByteArray& bytes, TextEncoding encoding);

// Why these bytes are not text (a NUL byte, or control characters in more than a quarter of the bytes), or
// "" when they are.
QString whyNotText(const QByteArray& bytes);

// The lines of the file at `path`, decoded in the encoding its bytes are in (detectEncoding). Nothing when
// the file cannot be read; `error` then says why.
std::optional<QStringList> readTextLines(const QString& path, QString* error = nullptr);

} // namespace qz
