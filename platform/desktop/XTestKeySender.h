#pragma once
// Sends key strokes to the focused X11 window through the XTest extension.
// Depends on: libX11 and libXtst; opens its own display connection, so it works whatever Qt platform runs.

#include "platform/desktop/KeySender.h"

#include <QByteArray>

#include <memory>

namespace qz {

class XTestKeySender : public KeySender {
public:
    // `displayName` empty means $DISPLAY. The connection is opened at the first send.
    explicit XTestKeySender(QByteArray displayName = {});
    ~XTestKeySender() override;

    XTestKeySender(const XTestKeySender&) = delete;
    XTestKeySender& operator=(const XTestKeySender&) = delete;

    // Returns once the X server has the strokes, without waiting for the focused program to read them; only
    // text with more characters missing from the keyboard map than it has spare keys pauses (see README.md).
    // Throws DesktopError "Pressing keys needs an X11 display" when no display can be opened, and
    // KeySendingStopped when `stop` says so.
    void send(const KeyStrokes& strokes, const StopCheck& stop = {}) override;

private:
    class Connection;
    QByteArray displayName_;
    std::unique_ptr<Connection> connection_;
};

} // namespace qz
