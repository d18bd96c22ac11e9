#include "store/CommandFile.h"
#include "store/BrainList.h"
#include "store/TextLines.h"
#include "tests/store/FileBytes.h"
#include "tests/support/Unprivileged.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace qz {
namespace {

using test::readAll;
using test::writeAll;

struct ParseCase {
    const char* name;
    QByteArray bytes;
    QStringList records;
};

class ParseRecords : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseRecords, EndsLinesAtCrLfCrOrLf) {
    const ParseCase& c = GetParam();
    EXPECT_EQ(splitTextLines(c.bytes, TextEncoding::Utf8), c.records);
}

INSTANTIATE_TEST_SUITE_P(
    LineEnds, ParseRecords,
    testing::Values(ParseCase{"EmptyFile", "", {}}, ParseCase{"CrLf", "a|b\r\nc|d\r\n", {"a|b", "c|d"}},
                    ParseCase{"LoneCr", "a\rb\r", {"a", "b"}}, ParseCase{"LoneLf", "a\nb\n", {"a", "b"}},
                    // What `echo >>` does to a file a Windows program wrote: two more commands.
                    ParseCase{"LfLinesAppendedToCrLf", "a\r\nb\nc\n", {"a", "b", "c"}},
                    ParseCase{"MixedInOneFile", "a\nb\r\nc\rd", {"a", "b", "c", "d"}},
                    ParseCase{"NoFinalLineEnd", "a\r\nlast", {"a", "last"}},
                    ParseCase{"BlankLineInTheMiddleIsAnEmptyRecord", "a\r\n\r\nb\r\n", {"a", "", "b"}},
                    ParseCase{"BlankLfLine", "a\n\nb", {"a", "", "b"}},
                    ParseCase{"OnlyLineEnds", "\r\n\r\n", {"", ""}},
                    ParseCase{"CrThenCrLf", "a\r\r\nb", {"a", "", "b"}},
                    ParseCase{"LfThenCrIsTwoLineEnds", "a\n\rb", {"a", "", "b"}},
                    ParseCase{"NothingIsTrimmed", "  spaced  |x \r\n", {"  spaced  |x "}}),
    [](const testing::TestParamInfo<ParseCase>& info) { return std::string(info.param.name); });

TEST(CommandFileRead, FilesThatAreNotTextAreUnreadableAndSayWhy) {
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* why; // nullptr: text
    };
    const Case cases[] = {
        {"NulByte", QByteArray("a|activate|x\r\nb\0c\r\n", 17), "NUL bytes"},
        {"Picture", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "NUL bytes"},
        {"MostlyControls",
         "\x01\x02\x03\x04\x05"
         "ab\x06\x07\x1b\x7f",
         "control characters"},
        {"TabsAndAFewControlsAreText", "a\tb|plugin|keys|\x1b[A\r\nc|x|y\r\n", nullptr},
        {"Windows1252HighBytesAreText", "caf\xE9 \x80\x93\x94\r\n", nullptr},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath("brain.qzb");
        writeAll(path, c.bytes);
        const auto result = CommandFile::read(path);
        if (c.why) {
            EXPECT_EQ(result.status, CommandFile::ReadResult::Status::Unreadable) << c.name;
            EXPECT_TRUE(result.error.contains(c.why)) << c.name << ": " << result.error.toStdString();
            EXPECT_TRUE(result.records.isEmpty()) << c.name;
        } else {
            EXPECT_EQ(result.status, CommandFile::ReadResult::Status::Ok) << c.name;
        }
    }
}

TEST(CommandFileRead, AFileBeyondTheSizeLimitIsRefusedWithTheLimitAndNeverWritten) {
    QTemporaryDir dir;
    const QString path = dir.filePath("brain.qzb");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("a|activate|x\r\n");
        ASSERT_TRUE(f.resize(CommandFile::kMaxBytes + 1)); // sparse: takes no disk
    }
    BrainList list(path);
    const auto result = list.load();
    EXPECT_EQ(result.status, CommandFile::ReadResult::Status::Unreadable);
    EXPECT_TRUE(result.error.contains("at most 256 MB")) << result.error.toStdString();
    list.append("new|plugin|say|x");
    EXPECT_EQ(list.save(), "");
    EXPECT_EQ(QFileInfo(path).size(), CommandFile::kMaxBytes + 1);
}

TEST(CommandFileRead, ANotTextFileIsNeverWritten) {
    QTemporaryDir dir;
    const QString path = dir.filePath("brain.qzb");
    const QByteArray binary("\x7f"
                            "ELF\x02\x01\x01\0\0\0",
                            10);
    writeAll(path, binary);
    BrainList list(path);
    EXPECT_EQ(list.load().status, CommandFile::ReadResult::Status::Unreadable);
    EXPECT_TRUE(list.isProtected());
    list.append("new|plugin|say|x");
    EXPECT_EQ(list.save(), "");
    EXPECT_EQ(readAll(path), binary);
}

TEST(CommandFileRead, HandEditedLineEndsStayUntilACommandChanges) {
    QTemporaryDir dir;
    const QString path = dir.filePath("brain.qzb");
    const QByteArray edited = "a|activate|hi\r\nb|plugin|say|1\nc|plugin|say|2\n";
    writeAll(path, edited);
    BrainList list(path);
    list.load();
    ASSERT_EQ(list.records(), (QStringList{"a|activate|hi", "b|plugin|say|1", "c|plugin|say|2"}));
    EXPECT_EQ(list.save(), ""); // start-up's refresh: nothing changed, nothing written
    EXPECT_EQ(readAll(path), edited);
    list.append("d|plugin|say|3");
    EXPECT_EQ(list.save(), "");
    EXPECT_EQ(readAll(path),
              QByteArray("a|activate|hi\r\nb|plugin|say|1\r\nc|plugin|say|2\r\nd|plugin|say|3\r\n"));
}

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

using test::runUnprivileged;

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
