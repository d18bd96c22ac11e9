// The head as the program wires it: shown at start-up from the current-head file, hidden by the Options
// menu's own "No head" entry, opening Options on a right press, choosing the voice of its character file,
// and the same head again at the next start. On fakes, with the shipped heads.

#include "FakePlatform.h"
#include "app/QuorzelProgram.h"
#include "engine/Form1.h"
#include "head/CharacterHead.h"
#include "head/HeadTimers.h"
#include "head/HeadWindow.h"
#include "platform/speech/SpeechVoice.h"
#include "shell/OptionsMenu.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace qz {
namespace {

class HeadWiring : public testing::Test, protected test::FakePlatform {
protected:
    void SetUp() override {
        QDir(dir.path()).mkpath("data");
        QDir(dir.path()).mkpath("character");
        for (const char* head : {"Robot", "Cat", "Sam"})
            ASSERT_TRUE(QFile::copy(QStringLiteral(QZ_CONTENT_DIR "/character/") + head + ".qzc",
                                    dir.filePath(QStringLiteral("character/") + head + ".qzc")));
        QFile::copy(QStringLiteral(QZ_CONTENT_DIR "/character/currenthead.qzs"),
                    dir.filePath("character/currenthead.qzs"));
        start();
    }

    // The program started as a user starts it; a second call is the next start.
    void start() {
        program.reset();
        program = std::make_unique<QuorzelProgram>(dir.path(), services(), &messages);
        program->form().Form_Load();
    }

    HeadWindow* window() { return program->head().window(); }
    QByteArray currentHead() {
        QFile file(dir.filePath("character/currenthead.qzs"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
    std::unique_ptr<QuorzelProgram> program;
};

TEST_F(HeadWiring, AFreshProgramFolderShowsTheRobotAndNoHeadFromTheMenuHidesItForGood) {
    ASSERT_NE(window(), nullptr);
    EXPECT_TRUE(window()->isVisible());
    EXPECT_EQ(window()->size(), QSize(120, 140));
    EXPECT_TRUE(messages.texts.isEmpty()) << messages.texts.join("\n").toStdString();

    program->options().noHead()->trigger();
    EXPECT_FALSE(window()->isVisible());
    EXPECT_EQ(currentHead(), "none\r\n");
    start();
    EXPECT_EQ(window(), nullptr); // nothing asked for the head at this start
}

TEST_F(HeadWiring, TheChosenHeadSpeaksWithItsVoiceAndComesBackAtTheNextStart) {
    const QList<VoiceToken> voices = synthesizer.voices();
    ASSERT_GE(voices.size(), 3);
    program->head().nh_Click(3, "Sam.qzc"); // what the menu's entry for Sam.qzc asks
    EXPECT_EQ(program->form().voice()->voice(), voices.at(2));
    program->head().nh_Click(2, "Cat.qzc");
    EXPECT_EQ(program->form().voice()->voice(), voices.at(1));
    program->head().nh_Click(1, "Robot.qzc");
    EXPECT_EQ(program->form().voice()->voice(), voices.at(0));
    program->head().nh_Click(3, "Sam.qzc");
    EXPECT_EQ(currentHead(), "Sam\r\n");

    start();
    ASSERT_NE(window(), nullptr);
    EXPECT_TRUE(window()->isVisible());
    EXPECT_EQ(currentHead(), "Sam\r\n");
    EXPECT_TRUE(messages.texts.isEmpty()) << messages.texts.join("\n").toStdString();
}

// A current-head file naming a path names no head: the start says "Error, Character missing!" once and reads
// nothing outside character/.
TEST_F(HeadWiring, ACurrentHeadFileNamingAPathShowsNoHead) {
    QFile::copy(dir.filePath("character/Robot.qzc"), dir.filePath("Outside.qzc"));
    QFile::copy(dir.filePath("character/Robot.qzc"), dir.filePath("data/Inside.qzc"));
    for (const QByteArray& line : {QByteArray("../Outside\r\n"), QByteArray("../data/Inside\r\n"),
                                   dir.filePath("Outside").toUtf8() + "\r\n"}) {
        SCOPED_TRACE(line.toStdString());
        QFile file(dir.filePath("character/currenthead.qzs"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(line);
        file.close();
        messages.texts.clear();
        start();
        EXPECT_EQ(messages.texts, QStringList{"Quorzel: Error, Character missing!"});
        EXPECT_EQ(window(), nullptr);
        EXPECT_EQ(currentHead(), line);
    }
}

// A line ends at LF as well, as Linux editors write it; the file is left as it was written.
TEST_F(HeadWiring, ACurrentHeadFileWithLfLineEndsShowsItsHead) {
    QFile file(dir.filePath("character/currenthead.qzs"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("Cat\nRobot\n");
    file.close();
    messages.texts.clear();
    start();
    EXPECT_TRUE(messages.texts.isEmpty()) << messages.texts.join("\n").toStdString();
    ASSERT_NE(window(), nullptr);
    EXPECT_TRUE(window()->isVisible());
    EXPECT_EQ(currentHead(), "Cat\nRobot\n");
}

TEST_F(HeadWiring, ARightPressOnTheHeadOpensOptionsAndALeftPressDoesNot) {
    ASSERT_NE(window(), nullptr);
    OptionsMenu& options = program->options();
    const QPoint onFace(60, 70);
    QTest::mousePress(window(), Qt::LeftButton, {}, onFace);
    QTest::mouseRelease(window(), Qt::LeftButton, {}, onFace);
    EXPECT_FALSE(options.isVisible());
    QTest::mousePress(window(), Qt::RightButton, {}, onFace);
    EXPECT_TRUE(options.isVisible());
    EXPECT_TRUE(
        options.mnuBrain()->isEnabled()); // opening Options ran its handler: the main window is hidden
    options.close();
}

TEST_F(HeadWiring, TheVoiceStartAndEndSwitchBetweenIdlingAndTheMouth) {
    ASSERT_NE(window(), nullptr);
    HeadTimers& timers = *program->head().timers();
    program->form().speak("Hello there");
    ASSERT_TRUE(synthesizer.startNext());
    EXPECT_TRUE(timers.talktimer().isActive());
    EXPECT_FALSE(timers.animate().isActive());
    timers.talktimer_Timer(); // the first tick, at the start, showed nothing: the counter starts at 0
    EXPECT_EQ(window()->shownFrame(), 11);
    ASSERT_TRUE(synthesizer.finishAll());
    EXPECT_EQ(window()->shownFrame(), 0);
    EXPECT_FALSE(timers.talktimer().isActive());
    EXPECT_TRUE(timers.animate().isActive());
}

} // namespace
} // namespace qz
