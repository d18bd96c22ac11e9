#include "tests/support/XDisplay.h"

#include <QProcess>
#include <QStandardPaths>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace qz::test {

QByteArray startXvfb(QProcess& server, int width, int height, int dpi) {
    const QString screen = QStringLiteral("%1x%2x24").arg(width).arg(height);
    server.start(QStandardPaths::findExecutable("Xvfb"), {"-displayfd", "1", "-screen", "0", screen, "-dpi",
                                                          QString::number(dpi), "-nolisten", "tcp"});
    if (!server.waitForStarted(5000)) return {};
    QByteArray number;
    while (!number.contains('\n') && server.waitForReadyRead(10000))
        number += server.readAllStandardOutput();
    return number.trimmed().isEmpty() ? QByteArray() : ":" + number.trimmed();
}

namespace {
Display* x(void* display) {
    return static_cast<Display*>(display);
}
} // namespace

XDisplay::XDisplay(const QByteArray& name) : display_(XOpenDisplay(name.constData())) {}

XDisplay::~XDisplay() {
    if (display_) XCloseDisplay(x(display_));
}

void XDisplay::setXftDpi(int dpi) {
    const QByteArray resources = "Xft.dpi:\t" + QByteArray::number(dpi) + "\n";
    XChangeProperty(x(display_), DefaultRootWindow(x(display_)), XA_RESOURCE_MANAGER, XA_STRING, 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(resources.constData()),
                    int(resources.size()));
    XSync(x(display_), False);
}

void XDisplay::movePointer(QPoint devicePos) {
    XTestFakeMotionEvent(x(display_), -1, devicePos.x(), devicePos.y(), CurrentTime);
    XFlush(x(display_));
}

void XDisplay::pressButton(unsigned int button, bool down) {
    XTestFakeButtonEvent(x(display_), button, down, CurrentTime);
    XFlush(x(display_));
}

TestScreen::TestScreen(int width, int height, int dpi) {
    if (QStandardPaths::findExecutable("Xvfb").isEmpty()) {
        error_ = QStringLiteral("Xvfb is not installed (scripts/install-deps installs it)");
        return;
    }
    name_ = startXvfb(server_, width, height, dpi);
    if (name_.isEmpty()) {
        error_ = QStringLiteral("Xvfb did not start");
        return;
    }
    x_ = std::make_unique<XDisplay>(name_);
    if (!x_->isOpen()) {
        error_ = QStringLiteral("cannot open the display %1").arg(QString::fromLatin1(name_));
        return;
    }
    x_->setXftDpi(dpi);
    qputenv("DISPLAY", name_);
    qputenv("QT_QPA_PLATFORM", "xcb");
}

TestScreen::~TestScreen() {
    x_.reset();
    server_.terminate();
    server_.waitForFinished(3000);
}

} // namespace qz::test
