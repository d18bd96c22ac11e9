#include "QuorzelApp.h"

#include "Form1.h"
#include "QtScriptUi.h"
#include "ScriptRunner.h"
#include "TrayIcon.h"
#include "platform/audio/QtMicrophone.h"
#include "platform/audio/QtSpeaker.h"
#include "platform/desktop/QProcessLauncher.h"
#include "platform/desktop/QtClipboard.h"
#include "platform/desktop/QtDocumentOpener.h"
#include "platform/desktop/XTestKeySender.h"
#include "platform/speech/EspeakSynthesizer.h"
#include "platform/speech/PocketSphinxRecognizer.h"
#include "platform/speech/RecoContext.h"

#include <QApplication>
#include <QMessageBox>

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
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorzel"));
    // The program lives in the tray: closing the main window or the about box must not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    PocketSphinxRecognizer recognizer(std::make_unique<QtMicrophone>());
    EspeakSynthesizer synthesizer(std::make_unique<QtSpeaker>());
    XTestKeySender keys;
    QtClipboard clipboard;
    QProcessLauncher launcher;
    QtDocumentOpener opener;
    TrayIcon tray;
    QtScriptUi scriptUi;
    ScriptRunner scripts(
        [](const QString& title, const QString& text) {
            QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok);
            box.exec();
        },
        &scriptUi);

    Form1Services services;
    services.programFolder = QApplication::applicationDirPath();
    services.recognizer = &recognizer;
    services.synthesizer = &synthesizer;
    services.tray = &tray;
    services.keys = &keys;
    services.clipboard = &clipboard;
    services.launcher = &launcher;
    services.opener = &opener;
    services.scripts = &scripts;
    Form1 form(services);
    QObject::connect(&tray, &TrayIcon::menuRequested, &form, [&form] { form.mnuOptions_Click(); });
    form.Form_Load();
    return app.exec();
}

} // namespace qz
