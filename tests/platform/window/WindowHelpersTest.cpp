#include "platform/window/TopMost.h"
#include "platform/window/Twips.h"
#include "platform/window/WindowDrag.h"
#include "platform/window/WindowShape.h"

#include <QApplication>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QWidget>

#include <gtest/gtest.h>

namespace qz {
namespace {

constexpr QRgb kWhite = 0xFFFFFF;

// The outline as removing one pixel at a time gives it: the reference the runs must match.
QRegion pixelByPixel(const QImage& picture, QSize scan, QRgb transparent) {
    QRegion region(0, 0, scan.width(), scan.height());
    for (int y = 0; y < scan.height() && y < picture.height(); ++y)
        for (int x = 0; x < scan.width() && x < picture.width(); ++x)
            if ((picture.pixel(x, y) & RGB_MASK) == (transparent & RGB_MASK))
                region = region.xored(QRegion(x, y, 1, 1));
    return region;
}

QImage filled(int width, int height, QRgb colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

TEST(Twips, ConvertThroughTheScreensLogicalDpi) {
    const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchX();
    EXPECT_DOUBLE_EQ(twipsPerPixelX(), 1440.0 / dpi);
    EXPECT_EQ(twipsToPixels(1440), int(dpi));
    EXPECT_EQ(twipsToPixels(0), 0);
    const QRect r = twipsRect(120, 5520, 3135, 195);
    EXPECT_EQ(r, QRect(qRound(120 * dpi / 1440), qRound(5520 * dpi / 1440), qRound(3135 * dpi / 1440),
                       qRound(195 * dpi / 1440)));
}

TEST(WindowShape, OnlyExactlyTransparentPixelsAreHoles) {
    struct Case {
        const char* name;
        QImage picture;
        QSize scan;
        QRegion expected;
    };
    QImage oneHole = filled(4, 3, 0xFEFFFF); // near white stays
    oneHole.setPixel(2, 1, kWhite);
    QImage wide = filled(3, 2, kWhite);
    const Case cases[] = {
        {"no white is the full rectangle", filled(5, 4, 0x000000), QSize(5, 4), QRegion(0, 0, 5, 4)},
        {"all white is empty", filled(5, 4, kWhite), QSize(5, 4), QRegion()},
        {"one hole among near-white", oneHole, QSize(4, 3),
         QRegion(0, 0, 4, 3).subtracted(QRegion(2, 1, 1, 1))},
        {"columns beyond the picture stay", wide, QSize(5, 2), QRegion(3, 0, 2, 2)},
        {"rows beyond the picture stay", wide, QSize(3, 4), QRegion(0, 2, 3, 2)},
        {"scan narrower than the picture", filled(8, 2, 0x102030), QSize(5, 2), QRegion(0, 0, 5, 2)},
        {"empty scan", filled(3, 3, 0), QSize(0, 3), QRegion()},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(opaqueRegion(c.picture, c.scan, kWhite), c.expected) << c.name;
        EXPECT_EQ(opaqueRegion(c.picture, c.scan, kWhite), pixelByPixel(c.picture, c.scan, kWhite)) << c.name;
    }
}

TEST(WindowShape, RunsGiveTheSameRegionAsPixelByPixel) {
    // Blobs of white on a drawn head, rows repeating and not, with a scan wider than the frame.
    QRandomGenerator random(7);
    for (int round = 0; round < 20; ++round) {
        QImage picture = filled(40, 30, 0x3366CC);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                if (random.bounded(3) == 0 || (y > 20 && x < 10)) picture.setPixel(x, y, kWhite);
        const QSize scan(random.bounded(30, 45), random.bounded(20, 32));
        EXPECT_EQ(opaqueRegion(picture, scan, kWhite), pixelByPixel(picture, scan, kWhite)) << round;
    }
}

TEST(TopMost, KeepsTheWindowOnTopAndShown) {
    QWidget window;
    window.show();
    FormOnTop(window);
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window.isVisible());
    QWidget hidden;
    FormOnTop(hidden);
    EXPECT_TRUE(hidden.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(hidden.isVisible());
}

TEST(WindowDrag, FollowsThePointerUntilReleaseWhereTheWindowSystemCannotMoveIt) {
    // The offscreen platform offers no system move, so this is the fallback path.
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.setGeometry(100, 100, 50, 50);
    window.show();
    WindowDrag drag(window);
    const QPoint start = window.pos() + QPoint(10, 10);
    drag.StartDrag(start);
    ASSERT_TRUE(drag.isFollowing());
    auto send = [&](QEvent::Type type, QPoint global, Qt::MouseButtons buttons) {
        QMouseEvent event(type, QPointF(window.mapFromGlobal(global)), QPointF(global), Qt::LeftButton,
                          buttons, Qt::NoModifier);
        QApplication::sendEvent(&window, &event);
    };
    send(QEvent::MouseMove, start + QPoint(30, 40), Qt::LeftButton);
    EXPECT_EQ(window.pos(), QPoint(130, 140));
    send(QEvent::MouseButtonRelease, start + QPoint(30, 40), Qt::NoButton);
    EXPECT_FALSE(drag.isFollowing());
    send(QEvent::MouseMove, start + QPoint(90, 90), Qt::NoButton);
    EXPECT_EQ(window.pos(), QPoint(130, 140)); // stays where it was dropped
}

} // namespace
} // namespace qz
