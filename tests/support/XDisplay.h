#pragma once

// A plain Xlib connection for what a test does as the user would: the Xft.dpi resource of a desktop, and
// the pointer moved and pressed through XTest. Kept apart because Xlib's macros clash with other headers.

#include <QByteArray>
#include <QPoint>
#include <QString>

class QProcess;

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

} // namespace qz::test
