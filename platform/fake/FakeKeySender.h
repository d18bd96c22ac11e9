#pragma once
// Test double of KeySender: records what it was asked to send as plain text, e.g. "ab[Ctrl+c][Enter]".

#include "platform/desktop/KeySender.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace qz {

class FakeKeySender : public KeySender {
public:
    // Checks `stop` before every stroke, as the real sender does between batches.
    void send(const KeyStrokes& strokes, const StopCheck& stop = {}) override;

    // One entry per send call, as describeKeyStrokes() writes it.
    QStringList sent;
    // All sends joined, for tests that do not care how the strokes were split.
    QString typed() const { return sent.join(QString()); }

    // When set, send throws DesktopError with this message and records nothing.
    QString failWith;
    // Each stroke takes this long, for tests of a send that outlasts a script's time.
    int microsecondsPerStroke = 0;
    // Called after recording, e.g. to play the focused program answering Control+C.
    std::function<void(const KeyStrokes&)> onSend;
};

} // namespace qz
