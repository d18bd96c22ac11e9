#pragma once

#include "platform/ports/Tray.h"

#include <QIcon>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QMenu;
class QSystemTrayIcon;

namespace qz {

// The notification-area icon. A context click on it (the right button) opens its menu; left clicks and
// double clicks do nothing. Without a system tray the program runs on without the icon.
class TrayIcon : public QObject, public Tray {
    Q_OBJECT
public:
    // `menu` opens on a context click; it must outlive the icon. `trayAvailable` says whether the desktop
    // has a system tray (null: ask Qt).
    explicit TrayIcon(QMenu* menu, std::function<bool()> trayAvailable = {}, QObject* parent = nullptr);
    ~TrayIcon() override;

    // `AddTrayIcon`: shows the icon with its tip.
    void AddTrayIcon(const QIcon& icon, const QString& tip) override;
    // `RemoveTrayIcon`: takes the icon away again.
    void RemoveTrayIcon() override;

    bool isShown() const;
    // Shown, in a tray the desktop has.
    bool isAvailable() const override;
    QString tip() const;

signals:
    // The menu is about to open at `pos` (global coordinates).
    void menuRequested(const QPoint& pos);

public slots:
    // Called with the tray's activation reason; public so tests can play the shell's part.
    void onActivated(int reason);

private:
    QMenu* menu_;
    std::function<bool()> trayAvailable_;
    std::unique_ptr<QSystemTrayIcon> icon_;
};

} // namespace qz
