#pragma once
// Starts command lines as detached processes through QProcess.

#include "platform/desktop/Launcher.h"

#include <QStringList>

namespace qz {

class QProcessLauncher : public Launcher {
public:
    void start(const QString& commandLine) override;

    // The program and arguments a command line stands for, the program resolved to an executable path
    // ("~/" expanded, searched in PATH when it has no "/"). Throws DesktopError when none is found.
    static QStringList resolve(const QString& commandLine);
};

} // namespace qz
