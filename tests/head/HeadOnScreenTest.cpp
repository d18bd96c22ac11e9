// The head on a real X display (an Xvfb of its own, at the DPI given on the command line, with or without a
// window manager): its outline with the desktop showing through frame 0's white pixels, frames drawn crisp
// at the screen's scale, a drag with the real pointer moving it (through the window manager when there is
// one), and a right press asking for "Options" while a press on a hole does not.

#include "HeadFixtures.h"
#include "head/CharacterHead.h"
#include "head/HeadPicture.h"
#include "head/HeadTimers.h"
#include "head/HeadWindow.h"
#include "tests/support/XDisplay.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace qz {
namespace {

const QColor Desktop(208, 64, 128);

// The pointer, moved and pressed through XTest as a user's mouse would be, in the screen's device pixels;
// each step gives the program time to answer.
class Pointer {
public:
    explicit Pointer(test::XDisplay& display) : display_(display) {}
    void moveTo(QPoint devicePos) {
        display_.movePointer(devicePos);
        QTest::qWait(60);
    }
    void button(unsigned int which, bool down) {
        display_.pressButton(which, down);
        QTest::qWait(60);
    }

private:
    test::XDisplay& display_;
};

test::XDisplay* g_display = nullptr;

// Waits up to 2 s for `actual()` to become `expected`, then compares: the window system answers in its
// own time.
template <typename Actual, typename Expected> void expectSoon(Actual actual, const Expected& expected) {
    for (int tries = 0; actual() != expected && tries < 40; ++tries)
        QTest::qWait(50);
    EXPECT_EQ(actual(), expected);
}

class HeadOnScreen : public testing::Test {
protected:
    void SetUp() override {
        desktop.setAutoFillBackground(true);
        QPalette palette;
        palette.setColor(QPalette::Window, Desktop);
        desktop.setPalette(palette);
        // An ordinary window under the head's place, not the whole screen: a window manager would take one
        // covering the screen for a full-screen window and keep it above everything.
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        desktop.setGeometry(screen.adjusted(screen.width() / 8, screen.height() / 8, -screen.width() / 8,
                                            -screen.height() / 8));
        desktop.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&desktop));
        test::writeFile(folder.character("currenthead.qzs"), "none\r\n");
        QFile::copy(QStringLiteral(QZ_CONTENT_DIR "/character/Robot.qzc"), folder.character("Robot.qzc"));
        head.changehead("Robot");
        ASSERT_NE(head.window(), nullptr);
        window = head.window();
        // The frames are chosen by the test alone.
        head.timers()->setAnimate(false);
        head.timers()->setWink(false);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        QTest::qWait(100);
        strip = window->animation()->strip();
        ratio = window->devicePixelRatioF();
    }

    QImage grabScreen() const {
        QScreen* screen = QGuiApplication::primaryScreen();
        return screen->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
    }

    // The device pixel of the screen at the window's logical point `p`.
    QPoint device(QPoint logical) const {
        return QPoint(int(std::lround(logical.x() * ratio)), int(std::lround(logical.y() * ratio)));
    }

    // Every device pixel of the window shows frame `k`'s pixel where frame 0 is not white, and the desktop
    // where it is. Returns the number of pixels that differ.
    int mismatches(const QImage& screen, int k) const {
        const QRect logical(window->pos(), window->size());
        const QRect onScreen(device(logical.topLeft()), device(logical.bottomRight() + QPoint(1, 1)));
        const int frameWidth = strip.width() / 14;
        int wrong = 0;
        for (int dy = onScreen.top(); dy < onScreen.bottom(); ++dy)
            for (int dx = onScreen.left(); dx < onScreen.right(); ++dx) {
                const int x = int((dx - onScreen.left()) / ratio);
                const int y = int((dy - onScreen.top()) / ratio);
                const bool hole = (strip.pixel(x, y) & RGB_MASK) == 0xFFFFFF;
                const QRgb want = hole ? Desktop.rgb() : strip.pixel(k * frameWidth + x, y);
                if ((screen.pixel(dx, dy) & RGB_MASK) != (want & RGB_MASK)) ++wrong;
            }
        return wrong;
    }

    // The mismatches once the screen has settled: a busy machine may paint late.
    int settledMismatches(int k) const {
        int wrong = mismatches(grabScreen(), k);
        for (int i = 0; wrong != 0 && i < 20; ++i) {
            QTest::qWait(100);
            wrong = mismatches(grabScreen(), k);
        }
        return wrong;
    }

    // A point of the window's own, logical, where frame 0 is (or is not) white.
    QPoint pointOnHead(bool hole) const {
        for (int y = strip.height() / 2; y < strip.height(); ++y)
            for (int x = 0; x < strip.width() / 14; ++x)
                if (((strip.pixel(x, y) & RGB_MASK) == 0xFFFFFF) == hole) return QPoint(x, y);
        return {};
    }

    QWidget desktop;
    test::ProgramFolderFixture folder;
    test::RecordingMessages messages;
    CharacterHead head{ProgramFolder(folder.root()), messages};
    HeadWindow* window = nullptr;
    QImage strip;
    qreal ratio = 1;
};

TEST_F(HeadOnScreen, TheDesktopShowsThroughTheWhitePixelsAndEveryFrameIsCrisp) {
    EXPECT_EQ(window->size(), QSize(120, 140));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(window->pos(), QPoint(screen.width() / 2, screen.height() / 2));
    EXPECT_EQ(settledMismatches(0), 0);
    for (int k : {1, 4, 13}) {
        SCOPED_TRACE(k);
        window->showFrame(k);
        EXPECT_EQ(settledMismatches(k), 0);
    }
    EXPECT_TRUE(messages.texts.isEmpty());
}

TEST_F(HeadOnScreen, ADragWithThePointerMovesItAndItStaysWhereItIsDropped) {
    Pointer pointer(*g_display);
    const QPoint start = window->pos();
    const QPoint grip = start + pointOnHead(false);
    pointer.moveTo(device(grip));
    pointer.button(1, true);
    for (int step = 1; step <= 4; ++step)
        pointer.moveTo(device(grip - QPoint(15 * step, 10 * step)));
    pointer.button(1, false);
    expectSoon([this] { return window->pos(); }, start - QPoint(60, 40));
    EXPECT_EQ(settledMismatches(0), 0);
    // A new head does not move it back.
    head.changehead("Robot");
    EXPECT_EQ(window->pos(), start - QPoint(60, 40));
}

TEST_F(HeadOnScreen, ARightPressAsksForOptionsWithoutMovingTheHeadAndAPressOnAHoleReachesTheDesktop) {
    Pointer pointer(*g_display);
    QSignalSpy options(&head, &CharacterHead::optionsRequested);
    pointer.moveTo(device(window->pos() + pointOnHead(true)));
    pointer.button(3, true);
    pointer.button(3, false);
    EXPECT_EQ(options.size(), 0);
    const QPoint start = window->pos();
    const QPoint onFace = start + pointOnHead(false);
    pointer.moveTo(device(onFace));
    pointer.button(1, true);
    pointer.button(1, false);
    EXPECT_EQ(options.size(), 0);
    pointer.button(3, true);
    pointer.moveTo(device(onFace - QPoint(20, 10)));
    pointer.button(3, false);
    pointer.moveTo(device(onFace - QPoint(40, 30)));
    expectSoon([&options] { return options.size(); }, 1);
    ASSERT_EQ(options.size(), 1);
    EXPECT_EQ(options.at(0).at(0).toPoint(), onFace);
    EXPECT_EQ(window->pos(), start);
}

} // namespace
} // namespace qz

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    int dpi = 96;
    const char* windowManager = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--dpi=", 6) == 0) dpi = std::atoi(argv[i] + 6);
        if (std::strncmp(argv[i], "--window-manager=", 17) == 0) windowManager = argv[i] + 17;
    }
    qz::test::TestScreen screen(1280, 800, dpi);
    if (!screen.error().isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(screen.error()));
        return 1;
    }
    const QByteArray display = screen.name();
    int result = 1;
    {
        qz::g_display = &screen.x();
        QProcess manager;
        if (windowManager) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("DISPLAY", display);
            manager.setProcessEnvironment(env);
            manager.start(windowManager, {});
            if (!manager.waitForStarted(5000)) {
                std::fprintf(stderr, "the window manager %s did not start\n", windowManager);
                return 1;
            }
            QThread::msleep(500); // until it manages the screen
        }
        QApplication app(argc, argv);
        std::fprintf(stderr, "display %s at %d DPI: device pixel ratio %.2f\n", display.constData(), dpi,
                     app.devicePixelRatio());
        result = RUN_ALL_TESTS();
        manager.terminate();
        manager.waitForFinished(3000);
    }
    return result;
}
