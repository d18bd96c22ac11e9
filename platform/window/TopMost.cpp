#include "platform/window/TopMost.h"

#include <QWidget>

namespace qz {

void FormOnTop(QWidget& window) {
    if (window.windowFlags().testFlag(Qt::WindowStaysOnTopHint)) return;
    // Changing a window's flags hides it, as Qt recreates the native window.
    const bool shown = window.isVisible();
    window.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    if (shown) window.show();
}

} // namespace qz
