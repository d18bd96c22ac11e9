#include "platform/desktop/QProcessLauncher.h"

#include "platform/desktop/DesktopError.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace qz {

namespace {

[[noreturn]] void fail(const QString& message) {
    throw DesktopError(message.toStdString());
}

} // namespace

QStringList QProcessLauncher::resolve(const QString& commandLine) {
    QStringList words = QProcess::splitCommand(commandLine);
    if (words.isEmpty() || words.first().isEmpty()) fail(QStringLiteral("The command line is empty"));

    QString program = words.first();
    if (program == QLatin1String("~") || program.startsWith(QLatin1String("~/")))
        program = QDir::homePath() + program.mid(1);

    QString found;
    if (program.contains(QLatin1Char('/'))) {
        const QFileInfo info(program);
        if (info.isFile() && info.isExecutable())
            found = info.absoluteFilePath();
        else if (info.exists())
            fail(QStringLiteral("\"%1\" is not a program that can be run").arg(program));
    } else {
        found = QStandardPaths::findExecutable(program);
    }
    if (found.isEmpty()) fail(QStringLiteral("The program \"%1\" was not found").arg(program));
    words.first() = found;
    return words;
}

void QProcessLauncher::start(const QString& commandLine) {
    QStringList words = resolve(commandLine);
    const QString program = words.takeFirst();
    QProcess process;
    process.setProgram(program);
    process.setArguments(words);
    // The started program must not write into our terminal or read our input.
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    if (!process.startDetached())
        fail(QStringLiteral("The program \"%1\" could not be started").arg(program));
}

} // namespace qz
