#pragma once
// Role: starts programs from command lines (`cmd`).

#include <QString>

namespace qz {

class Launcher {
public:
    virtual ~Launcher() = default;

    // Splits the line as a shell would for quoting and starts its program detached, not waiting for it.
    // Throws DesktopError with a clear message when the line is empty, the program is not found or cannot
    // start.
    virtual void start(const QString& commandLine) = 0;
};

} // namespace qz
