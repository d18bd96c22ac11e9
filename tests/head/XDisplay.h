#pragma once

// A plain Xlib connection for what a test does as the user would: the Xft.dpi resource of a desktop, and
// the pointer moved and pressed through XTest. Kept apart because Xlib's macros clash with other headers.

#include <QByteArray>
#include <QPoint>

namespace qz::test {

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
