#pragma once
// Test double of Launcher: records command lines; lines whose first word is in `missingPrograms` fail.

#include "platform/desktop/Launcher.h"

#include <QStringList>

namespace qz {

class FakeLauncher : public Launcher {
public:
    void start(const QString& commandLine) override;

    QStringList started;
    QStringList missingPrograms;
};

} // namespace qz
