#include "platform/desktop/QtClipboard.h"

#include <QClipboard>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>

namespace qz {

QtClipboard::QtClipboard(QClipboard* clipboard)
    : clipboard_(clipboard ? clipboard : QGuiApplication::clipboard()) {
    watch_ = QObject::connect(clipboard_, &QClipboard::dataChanged, [this] { ++changes_; });
}

QtClipboard::~QtClipboard() {
    QObject::disconnect(watch_);
}

QString QtClipboard::text() const {
    return clipboard_->text(QClipboard::Clipboard);
}

void QtClipboard::setText(const QString& text) {
    clipboard_->setText(text, QClipboard::Clipboard);
}

void QtClipboard::clear() {
    clipboard_->clear(QClipboard::Clipboard);
}

QString QtClipboard::selection() const {
    return clipboard_->supportsSelection() ? clipboard_->text(QClipboard::Selection) : QString();
}

quint64 QtClipboard::changeCount() const {
    return changes_;
}

bool QtClipboard::waitForChange(quint64 since, int timeoutMs) {
    if (changes_ != since) return true;
    if (timeoutMs <= 0) return false;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    const auto changed = QObject::connect(clipboard_, &QClipboard::dataChanged, &loop, &QEventLoop::quit,
                                          Qt::QueuedConnection);
    deadline.start(timeoutMs);
    loop.exec();
    QObject::disconnect(changed);
    return changes_ != since;
}

} // namespace qz
