// Loading a head by name and from the head menu, the current-head file, and every way a load can fail
// without harming what was there: on Qt's offscreen platform.

#include "head/CharacterHead.h"
#include "HeadFixtures.h"
#include "head/HeadPicture.h"
#include "head/HeadTimers.h"
#include "head/HeadWindow.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace qz {
namespace {

using test::characterBytes;
using test::makeStrip;
using test::readAll;

class CharacterHeadTest : public testing::Test {
protected:
    void SetUp() override {
        folder.putHead("Robot.qzc", characterBytes(makeStrip(20, 16), 0));
        folder.putHead("Cat.qzc", characterBytes(makeStrip(30, 24), 1));
        test::writeFile(folder.character("currenthead.qzs"), "none\r\n");
    }

    QByteArray currentHead() const { return readAll(folder.character("currenthead.qzs")); }

    test::ProgramFolderFixture folder;
    test::RecordingMessages messages;
    CharacterHead head{ProgramFolder(folder.root()), messages};
    QSignalSpy voices{&head, &CharacterHead::voiceChosen};
};

TEST_F(CharacterHeadTest, LoadingShowsTheShapedHeadRemembersItAndAsksForItsVoice) {
    const QByteArray before = test::sha256(folder.character("Robot.qzc"));
    head.changehead("Robot");
    ASSERT_NE(head.window(), nullptr);
    HeadWindow& window = *head.window();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), "Character Head");
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::Tool)); // no taskbar button
    EXPECT_EQ(window.size(), QSize(20, 16));
    EXPECT_EQ(window.animation()->size(), QSize(280, 16));
    // Frame 0's square, 2 pixels in from each edge; the scan runs 21 columns, one into frame 1's margin.
    EXPECT_EQ(window.outline(), QRegion(2, 2, 16, 12));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(window.pos(), QPoint(screen.width() / 2, screen.height() / 2));
    EXPECT_EQ(currentHead(), "Robot\r\n");
    ASSERT_EQ(voices.size(), 1);
    EXPECT_EQ(voices.at(0).at(0).toInt(), 0);
    EXPECT_TRUE(messages.texts.isEmpty());
    EXPECT_EQ(test::sha256(folder.character("Robot.qzc")), before);
}

TEST_F(CharacterHeadTest, TheVoiceByteIsPassedOnAsItIs) {
    for (int voice : {0, 1, 2, 3, 66, 255}) {
        folder.putHead("Voice.qzc", characterBytes(makeStrip(), voice));
        head.changehead("Voice");
        ASSERT_FALSE(voices.isEmpty());
        EXPECT_EQ(voices.takeLast().at(0).toInt(), voice);
    }
}

TEST_F(CharacterHeadTest, AMissingHeadSaysSoAndChangesNothing) {
    head.changehead("Robot");
    for (const QString& name :
         {QString("Nobody"), QString("../Robot"), QString("/etc/passwd"), QString("Robot\nCat")}) {
        SCOPED_TRACE(name.toStdString());
        messages.texts.clear();
        head.changehead(name);
        EXPECT_EQ(messages.texts, QStringList{"Error, Character missing!"});
        EXPECT_EQ(messages.titles, QStringList{"Quorzel"});
        messages.titles.clear();
        EXPECT_EQ(currentHead(), "Robot\r\n");
        EXPECT_EQ(voices.size(), 1);
        EXPECT_EQ(head.window()->size(), QSize(20, 16));
    }
}

TEST_F(CharacterHeadTest, ADamagedFileIsNamedWithItsReasonAndThePreviousHeadStays) {
    head.changehead("Robot");
    const QRegion outline = head.window()->outline();
    const QByteArray good = characterBytes(makeStrip(30, 24), 2);
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* reason;
    };
    QByteArray huge = good;
    huge[18] = 0x01; // width 16385 and more: little-endian 0x...4001
    huge[19] = 0x40;
    const Case cases[] = {
        {"not a bitmap", QByteArray("\x02 this is a text file"), "not a Windows bitmap"},
        {"truncated", good.left(good.size() - 100), "cut short"},
        {"oversized", huge, "larger than a head may be"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        folder.putHead("Broken.qzc", c.bytes);
        const QByteArray before = test::sha256(folder.character("Broken.qzc"));
        messages.texts.clear();
        head.changehead("Broken");
        ASSERT_EQ(messages.texts.size(), 1);
        EXPECT_TRUE(messages.texts[0].contains(folder.character("Broken.qzc")))
            << messages.texts[0].toStdString();
        EXPECT_TRUE(messages.texts[0].contains(c.reason)) << messages.texts[0].toStdString();
        EXPECT_EQ(head.window()->outline(), outline);
        EXPECT_EQ(head.window()->size(), QSize(20, 16));
        EXPECT_TRUE(head.window()->isVisible());
        EXPECT_EQ(currentHead(), "Robot\r\n");
        EXPECT_EQ(voices.size(), 1);
        EXPECT_EQ(test::sha256(folder.character("Broken.qzc")), before);
    }
}

TEST_F(CharacterHeadTest, AnUnwritableCurrentHeadFileIsToldOnceAndTheHeadStillLoads) {
    QFile::remove(folder.character("currenthead.qzs"));
    QDir(folder.root()).mkpath("character/currenthead.qzs"); // a folder in its place cannot be written
    head.changehead("Robot");
    head.changehead("Cat");
    EXPECT_TRUE(head.window()->isVisible());
    EXPECT_EQ(head.window()->size(), QSize(30, 24));
    EXPECT_EQ(voices.size(), 2);
    ASSERT_EQ(messages.texts.size(), 1);
    EXPECT_TRUE(messages.texts[0].contains(folder.character("currenthead.qzs")))
        << messages.texts[0].toStdString();
}

TEST_F(CharacterHeadTest, TheHeadMenuLoadsByTheCaptionUpToItsFirstDotAndNoHeadHides) {
    head.nh_Click(2, "Cat.qzc");
    EXPECT_EQ(currentHead(), "Cat\r\n");
    EXPECT_EQ(head.window()->size(), QSize(30, 24));
    head.nh_Click(1, "Robot");
    EXPECT_EQ(currentHead(), "Robot\r\n");
    folder.putHead("Sam.qzc", characterBytes(makeStrip(10, 10), 2));
    head.nh_Click(3, "Sam.old.qzc");
    EXPECT_EQ(currentHead(), "Sam\r\n");
    // The head already shown loads again: its voice is asked for again.
    head.nh_Click(3, "Sam.qzc");
    EXPECT_EQ(voices.size(), 4);

    const QPoint placed = head.window()->pos();
    head.nh_Click(0, "No head");
    EXPECT_EQ(currentHead(), "none\r\n");
    EXPECT_FALSE(head.window()->isVisible());
    EXPECT_EQ(voices.size(), 4);
    EXPECT_EQ(head.window()->size(), QSize(10, 10)); // shape, size and place stay
    EXPECT_EQ(head.window()->pos(), placed);
    EXPECT_TRUE(messages.texts.isEmpty());
}

TEST_F(CharacterHeadTest, NoHeadFirstMakesTheWindowHidden) {
    head.nh_Click(0, "No head");
    ASSERT_NE(head.window(), nullptr);
    EXPECT_FALSE(head.window()->isVisible());
    EXPECT_EQ(currentHead(), "none\r\n");
}

TEST_F(CharacterHeadTest, AMovedHeadKeepsItsPlaceWhenAnotherLoads) {
    head.changehead("Robot");
    head.window()->move(40, 50);
    head.changehead("Cat");
    EXPECT_EQ(head.window()->pos(), QPoint(40, 50));
}

// Loading another head in the middle of a gesture keeps the counters and the frame; the frame is placed
// with the new head's width.
TEST_F(CharacterHeadTest, LoadingMidGestureKeepsTheCountersAndUsesTheNewFrameWidth) {
    head.changehead("Robot");
    HeadTimers& timers = *head.timers();
    for (int i = 0; i < 211; ++i)
        timers.animate_Timer();
    EXPECT_EQ(head.window()->shownFrame(), 4);
    EXPECT_EQ(head.window()->animation()->x(), -80);
    const AnimationCounters before = timers.counters();
    head.changehead("Cat");
    EXPECT_EQ(timers.counters().idle, before.idle);
    EXPECT_EQ(timers.counters().blink, before.blink);
    EXPECT_FALSE(timers.winkOn());
    EXPECT_EQ(head.window()->animation()->x(), -120);
    timers.animate_Timer();
    EXPECT_EQ(head.window()->animation()->x(), -120); // frame 4 again, tick 212
    timers.animate_Timer();
    EXPECT_EQ(head.window()->animation()->x(), -90);
}

TEST_F(CharacterHeadTest, TheVoiceSwitchesBetweenIdlingAndTalkingAndEndsOnTheRestFrame) {
    head.changehead("Robot");
    HeadTimers& timers = *head.timers();
    head.stopIdle();
    head.startTalking();
    EXPECT_FALSE(timers.animate().isActive());
    EXPECT_TRUE(timers.talktimer().isActive());
    timers.talktimer_Timer();
    timers.talktimer_Timer();
    EXPECT_EQ(head.window()->shownFrame(), 12);
    head.stopTalking();
    head.showRestFrame();
    head.startIdle();
    EXPECT_EQ(head.window()->shownFrame(), 0);
    EXPECT_EQ(head.window()->animation()->x(), 0);
    EXPECT_TRUE(timers.animate().isActive());
    EXPECT_FALSE(timers.talktimer().isActive());
}

} // namespace
} // namespace qz
