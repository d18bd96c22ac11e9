#include "platform/scripthost/ScriptClipboard.h"

namespace qz {

ScriptClipboard::ScriptClipboard(Clipboard& clipboard, QObject* parent)
    : QObject(parent), clipboard_(clipboard) {}

QString ScriptClipboard::GetText(int) const {
    return clipboard_.text();
}

void ScriptClipboard::SetText(const QString& text, int) {
    clipboard_.setText(text);
}

void ScriptClipboard::Clear() {
    clipboard_.clear();
}

} // namespace qz
