#pragma once

// Character files (`*.qzc`): a Windows bitmap of the head's 14 frames whose first byte holds the voice
// instead of the "B" of the signature. Reading one never writes to it.

#include <QImage>
#include <QString>

#include <optional>

namespace qz {

// The largest picture a character file may hold; larger claims are refused before anything is allocated.
inline constexpr int MaxStripWidth = 16384;
inline constexpr int MaxStripHeight = 4096;

// `FileExists` for a head: the path of `<name>.qzc` in `characterFolder`, found without regard to letter
// case, when it is an ordinary file that is not hidden. A name that is not a plain file name (a folder
// separator, a line break, a NUL) finds nothing, so no file outside the folder is ever read.
std::optional<QString> findCharacterFile(const QString& characterFolder, const QString& name);

struct CharacterFile {
    unsigned char voice = 66; // the first byte of the file
    QImage strip;             // the decoded picture, RGB32
};

// The whole file at `path`, opened for reading only. On failure returns nothing and sets `error` to the
// reason, in words for the user.
std::optional<QByteArray> readCharacterBytes(const QString& path, QString& error);

// Decodes a character file's bytes as a bitmap with 66 in place of the first byte, after checking that the
// header describes a picture of at most MaxStripWidth x MaxStripHeight that the bytes hold in full. On
// failure returns nothing and sets `error` to the reason ("it is cut short", ...).
std::optional<CharacterFile> decodeCharacterFile(QByteArray bytes, QString& error);

} // namespace qz
