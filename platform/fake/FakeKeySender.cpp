#include "platform/fake/FakeKeySender.h"

#include "platform/desktop/DesktopError.h"

namespace qz {

void FakeKeySender::send(const KeyStrokes& strokes) {
    if (!failWith.isEmpty()) throw DesktopError(failWith.toStdString());
    sent.append(describeKeyStrokes(strokes));
    if (onSend) onSend(strokes);
}

} // namespace qz
