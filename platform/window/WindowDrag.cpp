#include "platform/window/WindowDrag.h"

#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace qz {

WindowDrag::WindowDrag(QWidget& window) : QObject(&window), window_(&window) {
    window.installEventFilter(this);
}

void WindowDrag::StartDrag(const QPoint& globalPos) {
    if (!window_) return;
    // Window managers move windows better than applications do; ours is the fallback.
    if (QWindow* handle = window_->windowHandle(); handle && handle->startSystemMove()) return;
    grabOffset_ = globalPos - window_->pos();
    following_ = true;
}

bool WindowDrag::eventFilter(QObject* watched, QEvent* event) {
    if (!following_ || watched != window_) return false;
    switch (event->type()) {
    case QEvent::MouseMove:
        window_->move(static_cast<QMouseEvent*>(event)->globalPosition().toPoint() - grabOffset_);
        return true;
    case QEvent::MouseButtonRelease:
        following_ = false;
        return false;
    default:
        return false;
    }
}

} // namespace qz
