#include "store/SafeSave.h"
#include "store/BrainList.h"
#include "tests/store/FileBytes.h"
#include "tests/support/SmallDisk.h"
#include "tests/support/Unprivileged.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

namespace qz {
namespace {

using test::readAll;
using test::writeAll;

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden);
}

// 206 commands of about 49 bytes: the size of file that a failed save once cut in the middle of a record.
QByteArray manyCommands() {
    QByteArray bytes;
    for (int i = 0; i < 206; ++i)
        bytes += "open document number " + QByteArray::number(i) + "|plugin|runprogram|file" +
                 QByteArray::number(i) + ".odt\r\n";
    return bytes;
}

// The system's file calls, with one step made to fail the way a failing disk makes it fail.
class FailingDevice : public FileDevice {
public:
    enum class Step { None, Create, Write, ShortThenFail, Attributes, Sync, Close, Rename };
    FailingDevice(Step step, int error) : step_(step), error_(error) {}

    int createTemporary(const QByteArray& folder, const QByteArray& prefix, QByteArray& path) override {
        return step_ == Step::Create ? -error_ : real().createTemporary(folder, prefix, path);
    }
    ssize_t write(int fd, const char* data, size_t size) override {
        if (step_ == Step::Write) return -error_;
        if (step_ == Step::ShortThenFail) {
            // Half the bytes land, then the disk is full: a loop that ignores the count loses the rest.
            if (writes_++ > 0) return -error_;
            return real().write(fd, data, size / 2);
        }
        return real().write(fd, data, size);
    }
    int copyAttributes(int fd, const struct stat& like) override {
        return step_ == Step::Attributes ? -error_ : real().copyAttributes(fd, like);
    }
    int sync(int fd) override { return step_ == Step::Sync ? -error_ : real().sync(fd); }
    int close(int fd) override {
        const int closed = real().close(fd);
        return step_ == Step::Close ? -error_ : closed;
    }
    int rename(const QByteArray& from, const QByteArray& to) override {
        return step_ == Step::Rename ? -error_ : real().rename(from, to);
    }
    int remove(const QByteArray& path) override { return real().remove(path); }
    int syncFolder(const QByteArray& folder) override { return real().syncFolder(folder); }

private:
    static FileDevice& real() { return systemFileDevice(); }
    Step step_;
    int error_;
    int writes_ = 0;
};

TEST(SafeSave, AFailureAtAnyStepKeepsTheOldFileWholeAndSaysWhyInWords) {
    using Step = FailingDevice::Step;
    struct Case {
        const char* name;
        Step step;
        int error;
        const char* words;
    };
    const Case cases[] = {
        {"NoRoomForTheTemporaryFile", Step::Create, ENOSPC, "The disk is full"},
        {"WriteFails", Step::Write, EIO, "The disk reported an error while writing"},
        {"ShortWriteThenFull", Step::ShortThenFail, ENOSPC, "The disk is full"},
        {"PermissionsCannotBeCopied", Step::Attributes, EIO, "The disk reported an error while writing"},
        // File systems that allocate late (and network ones) report a full disk only here.
        {"FlushToDiskFails", Step::Sync, ENOSPC, "The disk is full"},
        {"CloseFails", Step::Close, EDQUOT, "Your disk quota is used up"},
        {"RenameFails", Step::Rename, EROFS, "The disk is mounted read-only"},
    };
    const QByteArray old = manyCommands();
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath("brain.qzb");
        writeAll(path, old);
        BrainList list(path);
        list.load();
        list.append("one more|plugin|say|x");
        FailingDevice device(c.step, c.error);
        EXPECT_EQ(list.save(device), c.words) << c.name;
        EXPECT_EQ(readAll(path), old) << c.name;
        EXPECT_EQ(filesIn(dir.path()), QStringList{"brain.qzb"}) << c.name << ": temporary file left behind";
        // The change is still in the list: the next save that can, writes it.
        EXPECT_EQ(list.save(), "") << c.name;
        EXPECT_EQ(readAll(path), old + "one more|plugin|say|x\r\n") << c.name;
    }
}

TEST(SafeSave, SuccessfulSaveWritesTheBytesWithTheOldPermissions) {
    QTemporaryDir dir;
    const QString path = dir.filePath("brain.qzb");
    writeAll(path, "old\r\n");
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    EXPECT_EQ(saveFileSafely(path, "new\r\n"), "");
    EXPECT_EQ(readAll(path), "new\r\n");
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(filesIn(dir.path()), QStringList{"brain.qzb"});
}

TEST(SafeSave, TheSameBytesWriteNothing) {
    QTemporaryDir dir;
    const QString path = dir.filePath("brain.qzb");
    writeAll(path, "same\r\n");
    const auto inode = QFileInfo(path).fileTime(QFileDevice::FileModificationTime);
    // A device that fails everything: if anything were written, the save would fail.
    FailingDevice broken(FailingDevice::Step::Create, EIO);
    EXPECT_EQ(saveFileSafely(path, "same\r\n", broken), "");
    EXPECT_EQ(QFileInfo(path).fileTime(QFileDevice::FileModificationTime), inode);
    EXPECT_EQ(saveFileSafely(path, "other\r\n", broken), "The disk reported an error while writing");
}

TEST(SafeSave, ASymbolicLinkStaysALinkAndItsTargetIsReplaced) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("real");
    const QString target = dir.filePath("real/brain.qzb");
    const QString link = dir.filePath("brain.qzb");
    writeAll(target, "old\r\n");
    ASSERT_TRUE(QFile::link(target, link));
    EXPECT_EQ(saveFileSafely(link, "new\r\n"), "");
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readAll(target), "new\r\n");
    EXPECT_EQ(filesIn(dir.filePath("real")), QStringList{"brain.qzb"});
    // A link to a file that is not there yet creates it where the link points.
    const QString dangling = dir.filePath("later.qzb");
    ASSERT_TRUE(QFile::link(dir.filePath("real/later.qzb"), dangling));
    EXPECT_EQ(saveFileSafely(dangling, "first\r\n"), "");
    EXPECT_TRUE(QFileInfo(dangling).isSymLink());
    EXPECT_EQ(readAll(dir.filePath("real/later.qzb")), "first\r\n");
}

using test::runUnprivileged;

TEST(SafeSave, ReadOnlyFileOrFolderIsLeftAloneAndStartUpSaysNothing) {
    struct Case {
        const char* name;
        mode_t fileMode, folderMode;
        const char* words; // what a real change is told
    };
    const Case cases[] = {
        {"ReadOnlyFile", 0444, 0777, "The file is read-only"},
        {"ReadOnlyFolder", 0666, 0555, "Quorzel is not allowed to write in that folder"},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString folder = dir.filePath("data");
        QDir().mkdir(folder);
        const QString path = folder + "/brain.qzb";
        const QByteArray old = "keep|activate|me\r\n";
        writeAll(path, old);
        ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
        ::chmod(QFile::encodeName(path).constData(), c.fileMode);
        ::chmod(QFile::encodeName(folder).constData(), c.folderMode);
        const int outcome = runUnprivileged([&] {
            BrainList list(path);
            if (list.load().status != CommandFile::ReadResult::Status::Ok) return 1;
            if (!list.save().isEmpty()) return 2; // start-up: nothing changed, nothing to fail at
            list.append("new|plugin|say|x");
            return list.save() == c.words ? 0 : 3;
        });
        ::chmod(QFile::encodeName(folder).constData(), 0755);
        EXPECT_EQ(outcome, 0) << c.name;
        EXPECT_EQ(readAll(path), old) << c.name;
        EXPECT_EQ(filesIn(folder), QStringList{"brain.qzb"}) << c.name;
    }
}

TEST(SafeSave, OnAFullDiskStartUpAndAFailedSaveLeaveTheFileByteForByte) {
    QTemporaryDir dir;
    const QString folder = dir.filePath("data");
    QDir().mkdir(folder);
    test::SmallDisk disk(folder, 64 * 1024);
    if (!disk.mounted()) GTEST_SKIP() << disk.whyNot().toStdString();
    const QString path = folder + "/brain.qzb";
    const QByteArray old = manyCommands();
    writeAll(path, old);
    disk.fill();

    BrainList list(path);
    ASSERT_EQ(list.load().status, CommandFile::ReadResult::Status::Ok);
    EXPECT_EQ(list.save(), ""); // start-up's refresh
    list.append("one more|plugin|say|x");
    EXPECT_EQ(list.save(), "The disk is full");
    EXPECT_EQ(readAll(path), old);
    EXPECT_EQ(filesIn(folder), (QStringList{"brain.qzb", "filler"}));

    disk.freeUp();
    EXPECT_EQ(list.save(), "");
    EXPECT_EQ(readAll(path), old + "one more|plugin|say|x\r\n");
}

} // namespace
} // namespace qz
