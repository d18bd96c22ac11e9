#pragma once

#include <QIcon>
#include <QObject>
#include <QString>

#include "shell/Tray.h"

#include <memory>

class QMenu;
class QSystemTrayIcon;

namespace qz {

// The notification-area icon. A context click on it (the right button) opens the given menu; left clicks
// and double clicks do nothing. Without a system tray the program runs on without the icon.
class TrayIcon : public QObject, public Tray {
    Q_OBJECT
public:
    explicit TrayIcon(QObject* parent = nullptr);
    ~TrayIcon() override;

    // `AddTrayIcon`: shows the icon with its tip; `menu` opens on a context click.
    void AddTrayIcon(const QIcon& icon, const QString& tip, QMenu* menu) override;
    // `RemoveTrayIcon`: takes the icon away again.
    void RemoveTrayIcon() override;

    bool isShown() const;
    QString tip() const;

signals:
    // The menu is about to open at `pos` (global coordinates): the owner updates its entries here.
    void menuRequested(const QPoint& pos);

public slots:
    // Called with the tray's activation reason; public so tests can play the shell's part.
    void onActivated(int reason);

private:
    std::unique_ptr<QSystemTrayIcon> m_icon;
    QMenu* m_menu = nullptr;
};

} // namespace qz
