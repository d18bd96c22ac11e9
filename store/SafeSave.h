#pragma once

// Replacing a file of the program folder so that no failure can shorten or empty it.

#include "store/FileDevice.h"

#include <QByteArray>
#include <QString>

namespace qz {

// Makes the file at `path` hold exactly `bytes`. A file that already holds them is not touched at all.
// Otherwise the bytes go to a temporary file beside it, which replaces the old file only once every write,
// the sync and the close have succeeded; on any failure the old file stays as it was and the temporary file
// is removed. A symbolic link stays a link: the file it points to is replaced. A file without write
// permission is left alone. Returns "" on success, otherwise the reason in words, as a
// sentence without its full stop ("The disk is full").
QString saveFileSafely(const QString& path, const QByteArray& bytes, FileDevice& device = systemFileDevice());

// What an error number means for a save, in words a user understands.
QString saveFailureInWords(int error);

} // namespace qz
