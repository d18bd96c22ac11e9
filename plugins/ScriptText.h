#pragma once

// Scripts hold text as UTF-16, as QString does: the two convert without re-encoding.

#include <QString>

#include <string>

namespace qz {

inline std::u16string toScriptText(const QString& text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size()));
}

inline QString fromScriptText(const std::u16string& text) {
    return QString::fromUtf16(text.data(), qsizetype(text.size()));
}

} // namespace qz
