#pragma once

// Scripts hold text as UTF-16, as QString does: the two convert without re-encoding.

#include <QString>

#include <string>

namespace qz {

inline std::u16string toScriptText(const QString& text) {
    return text.toStdU16String();
}

inline QString fromScriptText(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

} // namespace qz
