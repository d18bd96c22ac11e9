#pragma once
// The system clipboard through QClipboard (text, clipboard mode). Needs a QGuiApplication.

#include "platform/desktop/Clipboard.h"

#include <QMetaObject>

class QClipboard;

namespace qz {

class QtClipboard : public Clipboard {
public:
    // `clipboard` null means the application's clipboard.
    explicit QtClipboard(QClipboard* clipboard = nullptr);
    ~QtClipboard() override;

    QtClipboard(const QtClipboard&) = delete;
    QtClipboard& operator=(const QtClipboard&) = delete;

    QString text() const override;
    void setText(const QString& text) override;
    void clear() override;
    QString selection() const override;
    quint64 changeCount() const override;
    bool waitForChange(quint64 since, int timeoutMs) override;

private:
    QClipboard* clipboard_;
    quint64 changes_ = 0;
    QMetaObject::Connection watch_;
};

} // namespace qz
