#pragma once

// A plain Xlib connection for what a test does as the user would: the Xft.dpi resource of a desktop, and
// the pointer moved and pressed through XTest. Kept apart because Xlib's macros clash with other headers.

#include <QByteArray>
#include <QPoint>
#include <QString>

#include <QProcess>

#include <memory>

namespace qz::test {

// Starts Xvfb in `server` with a screen of `width` x `height` at `dpi`, on a display number it picks
// itself (so tests running side by side never share one). Returns the display name, or "" when it could
// not start.
QByteArray startXvfb(QProcess& server, int width, int height, int dpi);

class XDisplay {
public:
    // Opens `name`; isOpen() says whether that worked.
    explicit XDisplay(const QByteArray& name);
    ~XDisplay();
    bool isOpen() const { return display_ != nullptr; }

    // Sets the root window's resources to "Xft.dpi: dpi", as a desktop at that DPI does.
    void setXftDpi(int dpi);
    // The pointer, in the screen's device pixels.
    void movePointer(QPoint devicePos);
    void pressButton(unsigned int button, bool down);

private:
    void* display_;
};

// A screen test's display: Xvfb started on a free display, a connection kept open for the pointer (which
// also keeps the server from resetting and forgetting its resources), Xft.dpi set as a desktop at that DPI
// sets it (so Qt scales windows by 2 at 192), and DISPLAY and QT_QPA_PLATFORM set for the QApplication the
// test makes next. error() is "" when all of that worked.
class TestScreen {
public:
    TestScreen(int width, int height, int dpi);
    ~TestScreen();
    const QString& error() const { return error_; }
    const QByteArray& name() const { return name_; }
    XDisplay& x() { return *x_; }

private:
    QProcess server_;
    QByteArray name_;
    std::unique_ptr<XDisplay> x_;
    QString error_;
};

} // namespace qz::test
