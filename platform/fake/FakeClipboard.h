#pragma once
// Test double of Clipboard: text in memory; waitForChange returns at once, after running `onWait`.

#include "platform/desktop/Clipboard.h"

#include <functional>

namespace qz {

class FakeClipboard : public Clipboard {
public:
    QString text() const override { return text_; }
    void setText(const QString& text) override {
        text_ = text;
        ++changes_;
    }
    void clear() override { setText(QString()); }
    QString selection() const override { return selectionText; }
    quint64 changeCount() const override { return changes_; }
    bool waitForChange(quint64 since, int timeoutMs) override {
        lastTimeoutMs = timeoutMs;
        if (onWait) onWait();
        return changes_ != since;
    }

    // Plays another program writing the clipboard while we wait.
    std::function<void()> onWait;
    QString selectionText; // the primary selection
    int lastTimeoutMs = -1;

private:
    QString text_;
    quint64 changes_ = 0;
};

} // namespace qz
