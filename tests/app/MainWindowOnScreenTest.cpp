// The main window on a real X display (an Xvfb of its own, at the DPI given on the command line) with 40
// commands, as a user sees it on a desktop without a tray: shown at start-up, compared with a committed
// picture so that a change of layout is seen, and scrolled with the real pointer, by the scroll bar and by
// dragging the rows. `--update` writes the picture instead of comparing (look at it before committing).

#include "FakePlatform.h"
#include "app/QuorzelProgram.h"
#include "engine/Form1.h"
#include "listview/CommandList.h"
#include "tests/support/XDisplay.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace qz {
namespace {

int g_dpi = 96;
bool g_update = false;
test::XDisplay* g_display = nullptr;

QString referencePicture() {
    return QStringLiteral(QZ_REFERENCE_DIR "/main-window-%1dpi.png").arg(g_dpi);
}

// Forty commands of the shipped plugins, one phrase too long for its row.
QByteArray fortyCommands() {
    QByteArray brain = "computer are you there|activate|I am listening\r\n"
                       "thank you computer|deactivate|I have stopped listening\r\n"
                       "computer go to sleep|sleep|Going to sleep. Choose Activate functions to wake me\r\n";
    const char* const kinds[] = {"open the mail %1|plugin|runprogram|thunderbird",
                                 "say hello %1|plugin|say|Hello there",
                                 "press escape %1|plugin|keys|{ESC}",
                                 "once more %1|repeat|repeat|Nothing to repeat yet",
                                 "start dictation %1|plugin|dictation|stop dictation|Done",
                                 "read this %1|plugin|readselection|Nothing is selected",
                                 "what time is it %1|plugin|time|It is|24"};
    for (int i = 3; i < 40; ++i) {
        if (i == 5) {
            brain += "a very long phrase that goes on and on well past the width of its row|plugin|say|and a "
                     "reply that is longer than the row as well\r\n";
            continue;
        }
        brain += QString::fromLatin1(kinds[(i - 3) % 7]).arg((i - 3) / 7 + 1).toUtf8() + "\r\n";
    }
    return brain;
}

class MainWindowOnScreen : public testing::Test, protected test::FakePlatform {
protected:
    void SetUp() override {
        QDir(dir.path()).mkpath("data");
        QDir(dir.path()).mkpath("character");
        for (const QString& file : QDir(QStringLiteral(QZ_CONTENT_DIR "/data")).entryList(QDir::Files))
            if (file != u"brain.qzb")
                QFile::copy(QStringLiteral(QZ_CONTENT_DIR "/data/") + file, dir.filePath("data/" + file));
        write("data/brain.qzb", fortyCommands());
        write("character/currenthead.qzs", "none\r\n");
        trayAvailable = false;
        program = std::make_unique<QuorzelProgram>(dir.path(), services(), &messages);
        program->form().Form_Load();
        form = &program->form();
        ASSERT_TRUE(form->isVisible());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
        form->move(0, 0);
        QTest::qWait(300);
    }

    void write(const QString& relative, const QByteArray& bytes) {
        QFile file(dir.filePath(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    // The device pixel of the screen at `logical`, a point of `widget`.
    QPoint device(const QWidget* widget, QPoint logical) const {
        const QPoint global = widget->mapToGlobal(logical);
        const qreal ratio = form->devicePixelRatioF();
        return QPoint(int(std::lround(global.x() * ratio)), int(std::lround(global.y() * ratio)));
    }

    void pointerTo(const QWidget* widget, QPoint logical) {
        g_display->movePointer(device(widget, logical));
        QTest::qWait(80);
    }

    void button(bool down) {
        g_display->pressButton(1, down);
        QTest::qWait(80);
    }

    QTemporaryDir dir;
    std::unique_ptr<QuorzelProgram> program;
    Form1* form = nullptr;
};

// Pixels whose colour differs by more than a little, as a share of the picture.
double differingShare(const QImage& a, const QImage& b) {
    qint64 differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            const int d = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                    std::abs(qBlue(p) - qBlue(q))});
            if (d > 40) ++differing;
        }
    return double(differing) / double(a.width() * a.height());
}

TEST_F(MainWindowOnScreen, LooksAsItsReferencePicture) {
    CommandList& list = program->list();
    // Row 3 selected by a click, so that its colours and buttons are in the picture.
    pointerTo(list.row(3), QPoint(150, 10));
    button(true);
    button(false);
    ASSERT_TRUE(list.row(3)->isSelected());
    pointerTo(form, QPoint(form->width() + 200, form->height() + 200)); // no hover effects
    QTest::qWait(200);
    const QImage shot = QGuiApplication::primaryScreen()
                            ->grabWindow(form->winId())
                            .toImage()
                            .convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(shot.isNull());
    if (g_update) {
        ASSERT_TRUE(shot.save(referencePicture()));
        GTEST_SKIP() << "wrote " << referencePicture().toStdString();
    }
    const QImage reference = QImage(referencePicture()).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(reference.isNull()) << "no reference picture " << referencePicture().toStdString();
    const QString actual = QDir::temp().filePath(QStringLiteral("main-window-%1dpi-actual.png").arg(g_dpi));
    ASSERT_EQ(shot.size(), reference.size())
        << "the window changed its size; this run's picture: " << (shot.save(actual), actual.toStdString());
    const double share = differingShare(shot, reference);
    EXPECT_LT(share, 0.005) << "the window looks different; this run's picture: "
                            << (shot.save(actual), actual.toStdString());
}

TEST_F(MainWindowOnScreen, ScrollsByTheScrollBarAndByDraggingTheRows) {
    CommandList& list = program->list();
    QScrollBar* bar = list.VScroll1();
    ASSERT_TRUE(bar->isEnabled());
    EXPECT_EQ(bar->maximum(), 29);
    // The scroll bar's lower arrow: one row.
    pointerTo(bar, QPoint(bar->width() / 2, bar->height() - 4));
    button(true);
    button(false);
    EXPECT_EQ(bar->value(), 1);
    EXPECT_EQ(list.rowTop(0), -495);
    // Dragging the rows up by four rows and a little: the release snaps to four rows.
    ListBar* row = list.row(7);
    ASSERT_NE(row, nullptr);
    const int rowHeight = row->height();
    // Heights in the list, which stays where it is while its rows move.
    const QPoint start = list.mapFromGlobal(row->mapToGlobal(QPoint(150, 10)));
    pointerTo(&list, start);
    button(true);
    for (int step = 1; step <= 5; ++step)
        pointerTo(&list, start - QPoint(0, step * (4 * rowHeight + 5) / 5));
    button(false);
    EXPECT_EQ(bar->value(), 5);
    EXPECT_EQ(list.rowTop(0), -5 * 495);
    ASSERT_NE(list.row(5), nullptr);
    EXPECT_EQ(list.row(5)->y(), 0);
    // Dragging down far past the top stops with row 0 at the top.
    pointerTo(list.row(6), QPoint(150, 10));
    button(true);
    pointerTo(&list, QPoint(150, list.height() + 400));
    button(false);
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(list.row(0)->y(), 0);
}

} // namespace
} // namespace qz

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--dpi=", 6) == 0) qz::g_dpi = std::atoi(argv[i] + 6);
        if (std::strcmp(argv[i], "--update") == 0) qz::g_update = true;
    }
    // A screen of 1280 x 800 at 96 DPI and as many more pixels as its DPI has.
    qz::test::TestScreen screen(1280 * qz::g_dpi / 96, 800 * qz::g_dpi / 96, qz::g_dpi);
    if (!screen.error().isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(screen.error()));
        return 1;
    }
    qz::g_display = &screen.x();
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    return RUN_ALL_TESTS();
}
