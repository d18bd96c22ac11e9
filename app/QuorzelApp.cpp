#include "app/QuorzelApp.h"

#include "app/QuorzelProgram.h"
#include "app/RealServices.h"
#include "app/SessionPlatform.h"
#include "engine/Form1.h"
#include "platform/audio/QtMicrophone.h"
#include "platform/audio/QtSpeaker.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace qz {
namespace {

bool hasDisplay() {
    auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

} // namespace

int runQuorzel(int argc, char** argv) {
    if (!hasDisplay()) {
        std::fprintf(stderr, "Quorzel needs a desktop session (no DISPLAY is set); "
                             "'xvfb-run make run' starts it without one.\n");
        return 1;
    }
    if (const QByteArray platform = sessionPlatform(QProcessEnvironment::systemEnvironment());
        !platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorzel"));
    // The program lives in the tray: closing the main window or the about box must not end it.
    QApplication::setQuitOnLastWindowClosed(false);
    RealServices services(std::make_unique<QtMicrophone>(), std::make_unique<QtSpeaker>(),
                          QApplication::applicationDirPath());
    QuorzelProgram program(QApplication::applicationDirPath(), services.services());
    program.form().Form_Load();
    return app.exec();
}

} // namespace qz
