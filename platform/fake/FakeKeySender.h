#pragma once
// Test double of KeySender: records what it was asked to send as plain text, e.g. "ab[Ctrl+c][Enter]".

#include "platform/desktop/KeySender.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace qz {

class FakeKeySender : public KeySender {
public:
    void send(const KeyStrokes& strokes) override;

    // One entry per send call, as describeKeyStrokes() writes it.
    QStringList sent;
    // All sends joined, for tests that do not care how the strokes were split.
    QString typed() const { return sent.join(QString()); }

    // When set, send throws DesktopError with this message and records nothing.
    QString failWith;
    // Called after recording, e.g. to play the focused program answering Control+C.
    std::function<void(const KeyStrokes&)> onSend;
};

} // namespace qz
