#include "shell/TrayIcon.h"

#include <QCursor>
#include <QMenu>
#include <QSystemTrayIcon>

namespace qz {

TrayIcon::TrayIcon(QObject* parent) : QObject(parent) {}
TrayIcon::~TrayIcon() = default;

void TrayIcon::AddTrayIcon(const QIcon& icon, const QString& tip, QMenu* menu) {
    m_menu = menu;
    m_icon = std::make_unique<QSystemTrayIcon>(icon);
    m_icon->setToolTip(tip);
    connect(m_icon.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        onActivated(int(reason));
    });
    // Where the desktop has no tray this does nothing visible; the head still opens the menu.
    m_icon->show();
}

void TrayIcon::RemoveTrayIcon() {
    if (m_icon)
        m_icon->hide();
    m_icon.reset();
}

bool TrayIcon::isShown() const { return m_icon != nullptr; }

QString TrayIcon::tip() const { return m_icon ? m_icon->toolTip() : QString(); }

void TrayIcon::onActivated(int reason) {
    // Linux tray hosts report a finished right click as a context request; press and release are theirs.
    if (reason != QSystemTrayIcon::Context || !m_menu)
        return;
    const QPoint pos = QCursor::pos();
    emit menuRequested(pos);
    m_menu->popup(pos);
}

} // namespace qz
