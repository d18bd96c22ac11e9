#include "platform/desktop/Clipboard.h"

#include "platform/desktop/KeySender.h"

namespace qz {

QString copySelectedText(KeySender& keys, Clipboard& clipboard, int timeoutMs) {
    const quint64 before = clipboard.changeCount();
    keys.pressKeys(QStringLiteral("^c"));
    if (clipboard.waitForChange(before, timeoutMs)) return clipboard.text();
    return clipboard.selection();
}

} // namespace qz
