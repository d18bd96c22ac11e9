#include "platform/desktop/Clipboard.h"

#include "platform/desktop/KeySender.h"

namespace qz {

QString copySelectedText(KeySender& keys, Clipboard& clipboard, int timeoutMs) {
    const quint64 before = clipboard.changeCount();
    keys.pressKeys(QStringLiteral("^c"));
    // Unchanged after the wait means the focused program copied nothing: the old text is the answer.
    clipboard.waitForChange(before, timeoutMs);
    return clipboard.text();
}

} // namespace qz
