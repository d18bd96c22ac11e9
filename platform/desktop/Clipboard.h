#pragma once
// Role: the system clipboard's text, and noticing when another program changes it.

#include <QString>
#include <QtGlobal>

namespace qz {

class KeySender;

class Clipboard {
public:
    virtual ~Clipboard() = default;

    virtual QString text() const = 0;
    virtual void setText(const QString& text) = 0;
    virtual void clear() = 0;
    // What is selected right now in any window (the X11 primary selection); empty where there is none.
    virtual QString selection() const = 0;

    // Grows by one at every change of the clipboard's content by any program, even to the same text.
    virtual quint64 changeCount() const = 0;

    // Lets the event loop run until changeCount() differs from `since` or `timeoutMs` has passed;
    // returns whether it changed.
    virtual bool waitForChange(quint64 since, int timeoutMs) = 0;
};

// How long `getsellected` waits for the focused program to answer Control+C.
inline constexpr int kCopyAnswerTimeoutMs = 500;

// `getsellected`: sends "^c" to the focused window and waits (bounded) for the clipboard to change; the
// copied text is the selection. When nothing was copied (a terminal, or nothing selected) the clipboard's
// older text is not the selection: the primary selection is, or "" when there is none. Nothing is ever
// written to the clipboard here. Send errors propagate.
QString copySelectedText(KeySender& keys, Clipboard& clipboard, int timeoutMs = kCopyAnswerTimeoutMs);

} // namespace qz
