#include "platform/fake/FakeLauncher.h"

#include "platform/desktop/DesktopError.h"

#include <QProcess>

namespace qz {

void FakeLauncher::start(const QString& commandLine) {
    const QStringList words = QProcess::splitCommand(commandLine);
    if (words.isEmpty()) throw DesktopError("The command line is empty");
    if (missingPrograms.contains(words.first()))
        throw DesktopError(
            QStringLiteral("The program \"%1\" was not found").arg(words.first()).toStdString());
    started.append(commandLine);
}

} // namespace qz
