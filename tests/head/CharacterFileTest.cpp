// Character files: the voice byte, decoding with 66 in its place, the look-up in the character folder and
// the refusal of files that are not whole bitmaps of a head's size.

#include "head/CharacterFile.h"
#include "HeadFixtures.h"

#include <gtest/gtest.h>

namespace qz {
namespace {

using test::characterBytes;
using test::makeStrip;

TEST(CharacterFile, TheFirstByteIsTheVoiceAndThePictureDecodesAsIfItWere66) {
    const QImage strip = makeStrip();
    for (int voice : {0, 1, 2, 3, 66, 200, 255}) {
        SCOPED_TRACE(voice);
        QString error;
        const std::optional<CharacterFile> file = decodeCharacterFile(characterBytes(strip, voice), error);
        ASSERT_TRUE(file) << error.toStdString();
        EXPECT_EQ(file->voice, voice);
        EXPECT_EQ(file->strip, strip);
    }
}

QByteArray withLittleEndian(QByteArray bytes, int at, qint32 value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char(quint32(value) >> (8 * i));
    return bytes;
}

TEST(CharacterFile, DamagedFilesAreRefusedWithTheirReason) {
    const QByteArray good = characterBytes(makeStrip(), 1);
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        makeStrip().save(&buffer, "PNG");
    }
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* reason;
    };
    const Case cases[] = {
        {"empty", QByteArray(), "empty"},
        {"text", QByteArray("\x01hello, this is not a picture at all"), "not a Windows bitmap"},
        {"a PNG picture", png, "not a Windows bitmap"},
        {"only the file header", good.left(16), "too short"},
        {"half the picture header", good.left(30), "cut short"},
        {"half the pixels", good.left(good.size() / 2), "cut short"},
        {"one byte short", good.left(good.size() - 1), "cut short"},
        {"wider than 16384", withLittleEndian(good, 18, 16385), "larger than a head may be"},
        {"taller than 4096", withLittleEndian(good, 22, 4097), "larger than a head may be"},
        {"taller than 4096, stored top down", withLittleEndian(good, 22, -4097), "larger than a head may be"},
        {"no width", withLittleEndian(good, 18, 0), "holds no picture"},
        {"pixels after the end", withLittleEndian(good, 10, good.size() + 10), "cut short"},
        {"an unknown header", withLittleEndian(good, 14, 99), "not a Windows bitmap"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QString error;
        EXPECT_FALSE(decodeCharacterFile(c.bytes, error));
        EXPECT_TRUE(error.contains(QLatin1String(c.reason))) << error.toStdString();
    }
}

TEST(CharacterFile, FoundWithoutRegardToCaseButNeverOutsideTheFolder) {
    test::ProgramFolderFixture folder;
    const QByteArray bytes = characterBytes(makeStrip());
    folder.putHead("Robot.qzc", bytes);
    folder.putHead("cat.QZC", bytes);
    folder.putHead(".hidden.qzc", bytes);
    test::writeFile(folder.root() + "/outside.qzc", bytes);
    QDir(folder.root()).mkpath("character/sub");
    folder.putHead("sub/inner.qzc", bytes);
    const QString characterFolder = folder.root() + "/character";

    struct Case {
        const char* name;
        QString given;
        const char* found; // nullptr: missing
    };
    const Case cases[] = {
        {"as spelled", "Robot", "Robot.qzc"},
        {"other letter case", "rOBOT", "Robot.qzc"},
        {"extension in capitals", "Cat", "cat.QZC"},
        {"absent", "Nobody", nullptr},
        {"hidden", ".hidden", nullptr},
        {"a path upwards", "../outside", nullptr},
        {"an absolute path", folder.root() + "/outside", nullptr},
        {"a subfolder", "sub/inner", nullptr},
        {"a backslash path", "..\\outside", nullptr},
        {"a line break", "Robot\nCat", nullptr},
        {"a carriage return", "Robot\r", nullptr},
        {"empty", "", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<QString> path = findCharacterFile(characterFolder, c.given);
        if (c.found)
            EXPECT_EQ(path.value_or("(missing)"), folder.character(c.found));
        else
            EXPECT_FALSE(path) << path->toStdString();
    }
    // The folder, too, is named without regard to case.
    EXPECT_EQ(findCharacterFile(folder.root() + "/CHARACTER", "robot").value_or(""),
              folder.character("Robot.qzc"));
}

} // namespace
} // namespace qz
