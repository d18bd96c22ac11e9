#include "head/HeadWindow.h"

#include "head/HeadPicture.h"
#include "platform/window/TopMost.h"
#include "platform/window/Twips.h"
#include "platform/window/WindowDrag.h"
#include "platform/window/WindowShape.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

namespace qz {

HeadWindow::HeadWindow(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
      animation_(new HeadPicture(this)), drag_(new WindowDrag(*this)) {
    setObjectName(QStringLiteral("head"));
    setWindowTitle(QStringLiteral("Character Head"));
    // Clicking the head must not take the keyboard from the window that keys and dictation go to.
    setAttribute(Qt::WA_ShowWithoutActivating);
    FormOnTop(*this);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect desktop = screen->geometry();
        move(desktop.x() + desktop.width() / 2, desktop.y() + desktop.height() / 2);
    }
    animation_->move(0, 0);
}

HeadWindow::~HeadWindow() = default;

bool HeadWindow::MakeTransparent(QRgb transparentColor) {
    if (picture_.isNull()) return false;
    const double twipsPerPixel = twipsPerPixelX(this);
    metrics_ = headMetrics(animation_->width(), picture_.height(), twipsPerPixel);
    setFixedSize(metrics_.windowWidth, metrics_.windowHeight);
    outline_ = opaqueRegion(picture_, QSize(metrics_.scanWidth, metrics_.scanHeight), transparentColor);
    // An empty mask would mean no mask at all to Qt; a shape lying wholly outside the window shows nothing.
    setMask(outline_.isEmpty() ? QRegion(-1, -1, 1, 1) : outline_);
    picture_ = QImage();
    // The new head's frame width places the frame that was shown.
    showFrame(frame_);
    return true;
}

void HeadWindow::showFrame(int frame) {
    frame_ = frame;
    animation_->move(frameLeft(frame, metrics_, twipsPerPixelX(this), animation_->width()), 0);
}

void HeadWindow::mousePressEvent(QMouseEvent* event) {
    const QPoint globalPos = event->globalPosition().toPoint();
    // A window manager's move runs on after the press returns and would take the pointer from the menu
    // (the head was seen flying off the screen), so the right button opens "Options" without a drag.
    if (event->button() == Qt::RightButton)
        emit optionsRequested(globalPos);
    else
        drag_->StartDrag(globalPos);
}

} // namespace qz
