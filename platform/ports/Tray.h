#pragma once

class QIcon;
class QString;

namespace qz {

// The notification-area icon as the controller sees it: added once at start-up, removed once at quit.
// The menu it opens is handed to the implementation when app/ makes it.
class Tray {
public:
    virtual ~Tray() = default;
    virtual void AddTrayIcon(const QIcon& icon, const QString& tip) = 0;
    virtual void RemoveTrayIcon() = 0;
    // The icon is shown in a tray the user can see, so the program can be reached through it.
    virtual bool isAvailable() const { return true; }
};

} // namespace qz
