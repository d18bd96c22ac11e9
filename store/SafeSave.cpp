#include "store/SafeSave.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace qz {
namespace {

// The file that a save has to replace: the end of a chain of symbolic links, which may not exist yet.
QString finalTarget(const QString& path) {
    QString target = QFileInfo(path).absoluteFilePath();
    for (int hop = 0; hop < 40; ++hop) {
        const QFileInfo info(target);
        if (!info.isSymLink()) return target;
        target = info.symLinkTarget();
    }
    return target; // a loop of links: the rename below fails and says so
}

bool holdsExactly(const QString& path, const QByteArray& bytes, qint64 size) {
    if (size != bytes.size()) return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    return file.readAll() == bytes && file.error() == QFileDevice::NoError;
}

} // namespace

QString saveFailureInWords(int error) {
    switch (error) {
    case ENOSPC:
        return QStringLiteral("The disk is full");
    case EDQUOT:
        return QStringLiteral("Your disk quota is used up");
    case EROFS:
        return QStringLiteral("The disk is mounted read-only");
    case EACCES:
    case EPERM:
        return QStringLiteral("Quorzel is not allowed to write in that folder");
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("The folder does not exist");
    case EIO:
        return QStringLiteral("The disk reported an error while writing");
    case EFBIG:
        return QStringLiteral("The file is too large for the disk");
    case ELOOP:
        return QStringLiteral("The file is a symbolic link that leads back to itself");
    default: {
        QString text = QString::fromLocal8Bit(std::strerror(error));
        if (!text.isEmpty()) text[0] = text[0].toUpper();
        return text;
    }
    }
}

QString saveFileSafely(const QString& path, const QByteArray& bytes, FileDevice& device) {
    const QString target = finalTarget(path);
    const QByteArray targetName = QFile::encodeName(target);
    struct stat old {};
    const bool exists = ::stat(targetName.constData(), &old) == 0;
    if (exists) {
        if (S_ISDIR(old.st_mode)) return QStringLiteral("There is a folder where the file should be");
        if (holdsExactly(target, bytes, qint64(old.st_size))) return {};
        // A file the user made read-only keeps what it holds, even though the folder would let us replace it.
        if (::access(targetName.constData(), W_OK) != 0 && errno == EACCES)
            return QStringLiteral("The file is read-only");
    }

    const QFileInfo info(target);
    const QByteArray folder = QFile::encodeName(info.absolutePath());
    QByteArray temporary;
    const int fd =
        device.createTemporary(folder, '.' + QFile::encodeName(info.fileName()) + ".new-", temporary);
    if (fd < 0) return saveFailureInWords(-fd);

    int failure = 0;
    const char* data = bytes.constData();
    size_t left = size_t(bytes.size());
    while (left > 0 && failure == 0) {
        const ssize_t written = device.write(fd, data, left);
        if (written < 0) {
            failure = int(-written);
        } else if (written == 0) {
            failure = ENOSPC; // no progress and no reason: what a full disk does
        } else {
            data += written;
            left -= size_t(written);
        }
    }
    if (failure == 0 && exists) failure = -device.copyAttributes(fd, old);
    if (failure == 0) failure = -device.sync(fd);
    const int closed = device.close(fd);
    if (failure == 0) failure = -closed;
    if (failure == 0) failure = -device.rename(temporary, targetName);
    if (failure != 0) {
        device.remove(temporary);
        return saveFailureInWords(failure);
    }
    // The rename itself is safe from here on; a folder that cannot be synced does not undo it.
    device.syncFolder(folder);
    return {};
}

} // namespace qz
