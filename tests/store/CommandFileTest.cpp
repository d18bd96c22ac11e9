#include "store/CommandFile.h"
#include "store/BrainList.h"
#include "store/TextLines.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace qz {
namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

struct ParseCase {
    const char* name;
    QByteArray bytes;
    QStringList records;
};

class ParseRecords : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseRecords, SplitsLinesAtCarriageReturns) {
    const ParseCase& c = GetParam();
    EXPECT_EQ(splitTextLines(c.bytes, TextEncoding::Utf8), c.records);
}

INSTANTIATE_TEST_SUITE_P(
    LineEnds, ParseRecords,
    testing::Values(ParseCase{"EmptyFile", "", {}}, ParseCase{"CrLf", "a|b\r\nc|d\r\n", {"a|b", "c|d"}},
                    ParseCase{"LoneCr", "a\rb\r", {"a", "b"}},
                    ParseCase{"LoneLfStaysInsideTheLine", "a\nb\r\nc", {"a\nb", "c"}},
                    ParseCase{"TrailingLfStaysInTheLastRecord", "a\r\nb\n", {"a", "b\n"}},
                    ParseCase{"NoFinalLineEnd", "a\r\nlast", {"a", "last"}},
                    ParseCase{"BlankLineInTheMiddleIsAnEmptyRecord", "a\r\n\r\nb\r\n", {"a", "", "b"}},
                    ParseCase{"OnlyLineEnds", "\r\n\r\n", {"", ""}},
                    ParseCase{"CrThenCrLf", "a\r\r\nb", {"a", "", "b"}},
                    ParseCase{"NothingIsTrimmed", "  spaced  |x \r\n", {"  spaced  |x "}}),
    [](const testing::TestParamInfo<ParseCase>& info) { return std::string(info.param.name); });

TEST(CommandFileWrite, EveryRecordEndsInCrLfAndAnEmptyListIsAnEmptyFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("brain.qzb");
    TextEncoding encoding = TextEncoding::Utf8;

    EXPECT_EQ(CommandFile::write(path, {"open mail|plugin|runprogram|x", "", "b|activate|Yes"}, encoding),
              "");
    EXPECT_EQ(readAll(path), QByteArray("open mail|plugin|runprogram|x\r\n\r\nb|activate|Yes\r\n"));

    EXPECT_EQ(CommandFile::write(path, {}, encoding), "");
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(readAll(path), QByteArray());
}

TEST(CommandFileRoundTrip, Utf8AndWindows1252FilesKeepEveryByte) {
    const QByteArray utf8 = "caf\xC3\xA9 au lait|plugin|say|\xE2\x82\xAC 5\r\n\xEF\xBB\xBFwith bom\r\n";
    QByteArray cp1252 = "caf\xE9|plugin|say|\x80 5 \x93quoted\x94\r\nundefined \x81\x8D\x8F\x90\x9D\r\n";
    for (const QByteArray& bytes : {utf8, cp1252}) {
        QTemporaryDir dir;
        const QString path = dir.filePath("brain.qzb");
        writeAll(path, bytes);
        BrainList list(path);
        ASSERT_EQ(list.load().status, CommandFile::ReadResult::Status::Ok);
        EXPECT_EQ(list.save(), "");
        EXPECT_EQ(readAll(path), bytes);
    }
}

TEST(CommandFileRoundTrip, Windows1252FileDecodesToTheRightCharacters) {
    QTemporaryDir dir;
    const QString path = dir.filePath("brain.qzb");
    writeAll(path, "caf\xE9|say|\x80\r\n");
    BrainList list(path);
    list.load();
    EXPECT_EQ(list.encoding(), TextEncoding::Windows1252);
    EXPECT_EQ(list.record(0), QString::fromUtf8("caf\xC3\xA9|say|\xE2\x82\xAC"));
}

TEST(CommandFileRoundTrip, ACharacterWithoutAWindows1252FormTurnsTheFileIntoUtf8) {
    QTemporaryDir dir;
    const QString path = dir.filePath("brain.qzb");
    writeAll(path, "caf\xE9\r\n");
    BrainList list(path);
    list.load();
    list.append(QString::fromUtf8("\xE6\x97\xA5\xE6\x9C\xAC|plugin|say|x"));
    EXPECT_EQ(list.save(), "");
    EXPECT_EQ(readAll(path), QByteArray("caf\xC3\xA9\r\n\xE6\x97\xA5\xE6\x9C\xAC|plugin|say|x\r\n"));
}

TEST(BrainListTest, MissingFileStartsEmptyAndTheFirstSaveCreatesIt) {
    QTemporaryDir dir;
    const QString path = dir.filePath("brain.qzb");
    BrainList list(path);
    EXPECT_EQ(list.load().status, CommandFile::ReadResult::Status::Missing);
    EXPECT_EQ(list.count(), 0);
    list.append("a|activate|hi");
    EXPECT_EQ(list.save(), "");
    EXPECT_EQ(readAll(path), QByteArray("a|activate|hi\r\n"));
}

TEST(BrainListTest, RemovingRenumbersTheRecordsBehind) {
    BrainList list;
    for (const char* r : {"r0", "r1", "r2", "r3", "r4"})
        list.append(r);
    EXPECT_TRUE(list.remove(3));
    EXPECT_EQ(list.record(3), "r4");
    EXPECT_EQ(list.count(), 4);
    EXPECT_FALSE(list.remove(4));
    EXPECT_FALSE(list.remove(-1));
    EXPECT_EQ(list.record(99), ""); // outside the list: the empty record, which matches no command
}

TEST(BrainListTest, HoldsMoreThan32767Records) {
    BrainList list;
    for (int i = 0; i < 40000; ++i)
        list.append(QString::number(i));
    EXPECT_EQ(list.count(), 40000);
    EXPECT_EQ(list.record(39999), "39999");
}

// Permissions do not stop root, and CI runs as root: the permission cases run in a child process that has
// given up root for an ordinary user id. The child's exit code carries the outcome.
template <typename Scenario> int runUnprivileged(Scenario scenario) {
    if (geteuid() != 0) return scenario();
    const pid_t pid = fork();
    if (pid == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(99);
        _exit(scenario());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 98;
}

QTemporaryDir worldWritableDir() {
    QTemporaryDir dir;
    QFile::setPermissions(dir.path(), QFileDevice::ReadOther | QFileDevice::WriteOther |
                                          QFileDevice::ExeOther | QFileDevice::ReadOwner |
                                          QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return dir;
}

TEST(BrainListFailures, UnreadableFileIsReportedAndNeverOverwritten) {
    QTemporaryDir dir = worldWritableDir();
    const QString path = dir.filePath("brain.qzb");
    writeAll(path, "keep|activate|me\r\n");
    // Writable by everyone but readable by no one.
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::WriteOwner | QFileDevice::WriteOther));
    const int outcome = runUnprivileged([&] {
        BrainList list(path);
        const auto result = list.load();
        if (result.status != CommandFile::ReadResult::Status::Unreadable || result.error.isEmpty()) return 1;
        if (!list.isProtected() || list.count() != 0) return 2;
        list.append("new|plugin|say|x");
        return list.save().isEmpty() ? 0 : 3; // a protected file is skipped, not failed again
    });
    EXPECT_EQ(outcome, 0);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(readAll(path), QByteArray("keep|activate|me\r\n"));
}

TEST(BrainListFailures, FailedSaveKeepsTheOldFileWholeAndSaysWhy) {
    QTemporaryDir dir = worldWritableDir();
    const QString sub = dir.filePath("data");
    QDir().mkdir(sub);
    const QString path = sub + "/brain.qzb";
    writeAll(path, "old|activate|file\r\n");
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther |
                                    QFileDevice::WriteOther);
    // A read-only folder: the file itself is writable, but no temporary file can be made beside it.
    ASSERT_TRUE(QFile::setPermissions(sub, QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                               QFileDevice::ReadOther | QFileDevice::ExeOther));
    const int outcome = runUnprivileged([&] {
        BrainList list(path);
        if (list.load().status != CommandFile::ReadResult::Status::Ok) return 1;
        list.append("new|plugin|say|x");
        return list.save().isEmpty() ? 2 : 0;
    });
    QFile::setPermissions(sub, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(outcome, 0);
    EXPECT_EQ(readAll(path), QByteArray("old|activate|file\r\n"));
    EXPECT_EQ(QDir(sub).entryList(QDir::Files), QStringList{"brain.qzb"}); // no temporary file left behind
}

} // namespace
} // namespace qz
