#pragma once

#include <QIcon>
#include <QString>

class QMenu;

namespace qz {

// The notification-area icon as the controller sees it: added once at start-up, removed once at quit.
class Tray {
public:
    virtual ~Tray() = default;
    // Shows the icon with its tip; a context click on it opens `menu`.
    virtual void AddTrayIcon(const QIcon& icon, const QString& tip, QMenu* menu) = 0;
    virtual void RemoveTrayIcon() = 0;
};

} // namespace qz
