#pragma once

#include <QByteArray>
#include <QString>

namespace qz {

// The 8-bit encodings our text files come in. Files from the original platform are Windows-1252; files we
// create are UTF-8. A file is written back in the encoding it was read in, so no byte of a record changes.
enum class TextEncoding { Utf8, Windows1252 };

// Picks UTF-8 when the bytes are valid UTF-8, otherwise Windows-1252.
TextEncoding detectEncoding(const QByteArray& bytes);

// Decodes bytes; every byte sequence decodes, and encode(decode(b)) == b for both encodings.
QString decodeText(const QByteArray& bytes, TextEncoding encoding);

// Encodes text. Returns false when a character has no Windows-1252 byte (then `out` is unspecified).
bool encodeText(const QString& text, TextEncoding encoding, QByteArray& out);

} // namespace qz
