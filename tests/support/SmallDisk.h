#pragma once

// A tiny tmpfs mounted over a folder for the length of a test: a disk that really fills up. Mounting needs
// root (CI runs as root); where it is not allowed, mounted() is false and whyNot() says why, for GTEST_SKIP.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cerrno>
#include <cstring>

#include <sys/mount.h>
#include <unistd.h>

namespace qz::test {

class SmallDisk {
public:
    SmallDisk(const QString& folder, qint64 bytes) : folder_(QFile::encodeName(folder)) {
        const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0777";
        if (::mount("qz-small-disk", folder_.constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                    options.constData()) == 0)
            mounted_ = true;
        else
            whyNot_ = QStringLiteral("cannot mount a small tmpfs here (%1); a full disk needs root")
                          .arg(QString::fromLocal8Bit(std::strerror(errno)));
    }
    ~SmallDisk() {
        if (mounted_) ::umount2(folder_.constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }
    const QString& whyNot() const { return whyNot_; }

    // Writes a file "filler" until the disk has no byte left.
    void fill() {
        QFile filler(QFile::decodeName(folder_) + "/filler");
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return;
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size()) {
        }
        QByteArray byte(1, 'f');
        while (filler.write(byte) == 1) {
        }
    }
    void freeUp() { QFile::remove(QFile::decodeName(folder_) + "/filler"); }

private:
    QByteArray folder_;
    bool mounted_ = false;
    QString whyNot_;
};

} // namespace qz::test
