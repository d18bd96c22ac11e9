#include "store/FileDevice.h"

#include <QRandomGenerator>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qz {
namespace {

int orErrno(int result) {
    return result < 0 ? -errno : result;
}

class SystemFileDevice : public FileDevice {
public:
    int createTemporary(const QByteArray& folder, const QByteArray& prefix, QByteArray& path) override {
        // Not mkstemp: its files are private (0600), and a new command file should get the permissions the
        // user's umask gives every new file.
        for (int attempt = 0; attempt < 100; ++attempt) {
            const QByteArray name =
                folder + '/' + prefix + QByteArray::number(QRandomGenerator::global()->generate(), 36);
            const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (fd >= 0) {
                path = name;
                return fd;
            }
            if (errno != EEXIST) return -errno;
        }
        return -EEXIST;
    }

    ssize_t write(int fd, const char* data, size_t size) override {
        ssize_t written;
        do {
            written = ::write(fd, data, size);
        } while (written < 0 && errno == EINTR);
        return written < 0 ? -errno : written;
    }

    int copyAttributes(int fd, const struct stat& like) override {
        // Only root may give a file away; for anyone else the file is theirs already.
        if (::fchown(fd, like.st_uid, like.st_gid) < 0 && errno != EPERM) return -errno;
        return orErrno(::fchmod(fd, like.st_mode & 07777));
    }
    int sync(int fd) override { return orErrno(::fsync(fd)); }
    int close(int fd) override { return orErrno(::close(fd)); }
    int rename(const QByteArray& from, const QByteArray& to) override {
        return orErrno(::rename(from.constData(), to.constData()));
    }
    int remove(const QByteArray& path) override { return orErrno(::unlink(path.constData())); }

    int syncFolder(const QByteArray& folder) override {
        const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) return -errno;
        const int result = orErrno(::fsync(fd));
        ::close(fd);
        return result;
    }
};

} // namespace

FileDevice& systemFileDevice() {
    static SystemFileDevice device;
    return device;
}

} // namespace qz
