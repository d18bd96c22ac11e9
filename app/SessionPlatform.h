#pragma once

#include <QByteArray>
#include <QProcessEnvironment>

namespace qz {

// The Qt platform the program asks for before it starts: "xcb" (XWayland) on a Wayland session that offers
// an X display, since the head's staying on top and placement and the keys Quorzel presses need X11;
// otherwise "" to leave the choice to Qt. A QT_QPA_PLATFORM the user set is always kept.
QByteArray sessionPlatform(const QProcessEnvironment& environment);

} // namespace qz
