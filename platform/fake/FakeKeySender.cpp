#include "platform/fake/FakeKeySender.h"

#include "platform/desktop/DesktopError.h"

#include <chrono>
#include <thread>

namespace qz {

void FakeKeySender::send(const KeyStrokes& strokes, const StopCheck& stop) {
    if (!failWith.isEmpty()) throw DesktopError(failWith.toStdString());
    KeyStrokes done;
    for (const KeyStroke& stroke : strokes) {
        if (stop && stop()) {
            sent.append(describeKeyStrokes(done));
            throw KeySendingStopped();
        }
        if (microsecondsPerStroke > 0)
            std::this_thread::sleep_for(std::chrono::microseconds(microsecondsPerStroke));
        done.push_back(stroke);
    }
    sent.append(describeKeyStrokes(done));
    if (onSend) onSend(strokes);
}

} // namespace qz
