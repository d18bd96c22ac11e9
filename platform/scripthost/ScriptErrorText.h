#pragma once
// The text of the "Script Error" message box: the error's description and where it happened.

#include "vbscript/ScriptError.h"

#include <QString>

namespace qz {

inline const QString kScriptErrorTitle = QStringLiteral("Script Error");

// E.g. "Type mismatch: 'x'\n\nLine 12, column 5 of runprogram (runtime error 13)". `scriptName` may be empty;
// an unknown place (line 0) is left out.
QString scriptErrorText(const vbscript::ScriptErrorInfo& error, const QString& scriptName = {});

} // namespace qz
