#pragma once

// The few file operations a safe save is made of, so that a test can make any one of them fail the way a
// full or failing disk does. Each returns 0 (or a byte count, or a descriptor) on success and -errno on
// failure.

#include <QByteArray>

#include <sys/stat.h>
#include <sys/types.h>

namespace qz {

class FileDevice {
public:
    virtual ~FileDevice() = default;

    // Creates a new, empty file in `folder` whose name starts with `prefix`, with the permissions a new
    // file gets; `path` receives its path. Returns its descriptor.
    virtual int createTemporary(const QByteArray& folder, const QByteArray& prefix, QByteArray& path) = 0;
    // Writes up to `size` bytes; returns how many were written, which may be fewer.
    virtual ssize_t write(int fd, const char* data, size_t size) = 0;
    // Gives the file the permissions, and where allowed the owner, of the file `like`.
    virtual int copyAttributes(int fd, const struct stat& like) = 0;
    // Makes the written bytes durable: where a full disk shows on file systems that allocate late.
    virtual int sync(int fd) = 0;
    virtual int close(int fd) = 0;
    virtual int rename(const QByteArray& from, const QByteArray& to) = 0;
    virtual int remove(const QByteArray& path) = 0;
    // Makes a rename in `folder` durable.
    virtual int syncFolder(const QByteArray& folder) = 0;
};

// The operating system's own file calls.
FileDevice& systemFileDevice();

} // namespace qz
