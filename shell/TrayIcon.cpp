#include "shell/TrayIcon.h"

#include <QCursor>
#include <QMenu>
#include <QSystemTrayIcon>

namespace qz {

TrayIcon::TrayIcon(QMenu* menu, std::function<bool()> trayAvailable, QObject* parent)
    : QObject(parent), menu_(menu), trayAvailable_(std::move(trayAvailable)) {
    if (!trayAvailable_) trayAvailable_ = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };
}
TrayIcon::~TrayIcon() = default;

void TrayIcon::AddTrayIcon(const QIcon& icon, const QString& tip) {
    icon_ = std::make_unique<QSystemTrayIcon>(icon);
    icon_->setToolTip(tip);
    connect(icon_.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) { onActivated(int(reason)); });
    // Where the desktop has no tray this does nothing visible; the head still opens the menu.
    icon_->show();
}

void TrayIcon::RemoveTrayIcon() {
    if (icon_) icon_->hide();
    icon_.reset();
}

bool TrayIcon::isShown() const {
    return icon_ != nullptr;
}

bool TrayIcon::isAvailable() const {
    return icon_ && trayAvailable_();
}

QString TrayIcon::tip() const {
    return icon_ ? icon_->toolTip() : QString();
}

void TrayIcon::onActivated(int reason) {
    // Linux tray hosts report a finished right click as a context request; press and release are theirs.
    if (reason != QSystemTrayIcon::Context || !menu_) return;
    const QPoint pos = QCursor::pos();
    emit menuRequested(pos);
    menu_->popup(pos);
}

} // namespace qz
