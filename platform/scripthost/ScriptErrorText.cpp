#include "platform/scripthost/ScriptErrorText.h"

#include "platform/scripthost/ScriptText.h"

namespace qz {

QString scriptErrorText(const vbscript::ScriptErrorInfo& error, const QString& scriptName) {
    QString description = fromScriptText(error.description);
    if (description.isEmpty()) description = fromScriptText(vbscript::errorDescription(error.number));

    QString where;
    if (error.line > 0) {
        where = error.column > 0 ? QStringLiteral("Line %1, column %2").arg(error.line).arg(error.column)
                                 : QStringLiteral("Line %1").arg(error.line);
        if (!scriptName.isEmpty()) where += QStringLiteral(" of %1").arg(scriptName);
    } else if (!scriptName.isEmpty()) {
        where = QStringLiteral("In %1").arg(scriptName);
    }
    const QString kind =
        error.compileError ? QStringLiteral("compilation error") : QStringLiteral("runtime error");
    const QString number =
        error.number != 0 ? QStringLiteral(" (%1 %2)").arg(kind).arg(error.number) : QString();
    if (where.isEmpty()) return description + number;
    return description + QStringLiteral("\n\n") + where + number;
}

} // namespace qz
