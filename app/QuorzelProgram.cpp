#include "app/QuorzelProgram.h"

#include "engine/Form1.h"
#include "app/QtScriptUi.h"
#include "plugins/ScriptRunner.h"
#include "shell/TrayIcon.h"
#include "platform/audio/AudioInput.h"
#include "platform/audio/AudioOutput.h"
#include "platform/desktop/QProcessLauncher.h"
#include "platform/desktop/QtClipboard.h"
#include "platform/desktop/QtDocumentOpener.h"
#include "platform/desktop/XTestKeySender.h"
#include "platform/speech/EspeakSynthesizer.h"
#include "platform/speech/PocketSphinxRecognizer.h"
#include "platform/speech/RecoContext.h"

#include <QMessageBox>

namespace qz {

// Members are destroyed in reverse order: the controller first, then the services it uses.
struct QuorzelProgram::Parts {
    Parts(std::unique_ptr<AudioInput> microphone, std::unique_ptr<AudioOutput> speaker)
        : recognizer(std::move(microphone)), synthesizer(std::move(speaker)),
          scripts(
              [](const QString& title, const QString& text) {
                  QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok);
                  box.exec();
              },
              &scriptUi) {}

    PocketSphinxRecognizer recognizer;
    EspeakSynthesizer synthesizer;
    XTestKeySender keys;
    QtClipboard clipboard;
    QProcessLauncher launcher;
    QtDocumentOpener opener;
    TrayIcon tray;
    QtScriptUi scriptUi;
    ScriptRunner scripts;
    std::unique_ptr<Form1> form;
};

QuorzelProgram::QuorzelProgram(const QString& programFolder, std::unique_ptr<AudioInput> microphone,
                               std::unique_ptr<AudioOutput> speaker)
    : m_parts(std::make_unique<Parts>(std::move(microphone), std::move(speaker))) {
    Parts& p = *m_parts;
    Form1Services services;
    services.programFolder = ProgramFolder(programFolder);
    services.recognizer = &p.recognizer;
    services.synthesizer = &p.synthesizer;
    services.tray = &p.tray;
    services.keys = &p.keys;
    services.clipboard = &p.clipboard;
    services.launcher = &p.launcher;
    services.opener = &p.opener;
    services.scripts = &p.scripts;
    p.form = std::make_unique<Form1>(services);
    QObject::connect(&p.tray, &TrayIcon::menuRequested, p.form.get(), [form = p.form.get()] { form->mnuOptions_Click(); });
}

QuorzelProgram::~QuorzelProgram() = default;

Form1& QuorzelProgram::form() { return *m_parts->form; }

} // namespace qz
