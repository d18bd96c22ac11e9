#include "app/QuorzelProgram.h"

#include "editor/SettingsEditor.h"
#include "engine/Form1.h"
#include "head/CharacterHead.h"
#include "listview/CommandList.h"
#include "platform/window/QtFileChooser.h"
#include "plugins/ScriptRunner.h"
#include "shell/CommandMenus.h"
#include "shell/MessageBoxes.h"
#include "shell/OptionsMenu.h"
#include "shell/ProgramIcon.h"
#include "shell/QtScriptUi.h"
#include "shell/TrayIcon.h"

namespace qz {

// Members are destroyed in reverse order: the controller first, then the windows and services it uses.
struct QuorzelProgram::Parts {
    Parts(const QString& programFolder, UserMessages* replacement, std::function<bool()> trayAvailable)
        : messages(replacement ? *replacement : messageBoxes), scripts(messages, &scriptUi),
          tray(&options, std::move(trayAvailable)), head(ProgramFolder(programFolder), messages),
          menus(ProgramFolder(programFolder), options.ch()), editor(files, programFolder) {}

    MessageBoxes messageBoxes;
    UserMessages& messages;
    QtScriptUi scriptUi;
    ScriptRunner scripts;
    OptionsMenu options;
    TrayIcon tray;
    CharacterHead head;
    CommandMenus menus;
    CommandList* list = nullptr; // the main window takes it over and deletes it
    QtFileChooser files;
    SettingsEditor editor;
    std::unique_ptr<Form1> form;
};

QuorzelProgram::QuorzelProgram(const QString& programFolder, const PlatformServices& services,
                               UserMessages* messages)
    : parts_(std::make_unique<Parts>(programFolder, messages, services.systemTrayAvailable)) {
    Parts& p = *parts_;
    Form1Services s;
    s.programFolder = ProgramFolder(programFolder);
    s.recognizer = services.recognizer;
    s.synthesizer = services.synthesizer;
    s.keys = services.keys;
    s.clipboard = services.clipboard;
    s.launcher = services.launcher;
    s.opener = services.opener;
    s.messages = &p.messages;
    s.scripts = &p.scripts;
    s.options = &p.options;
    s.tray = &p.tray;
    s.head = &p.head;
    p.list = new CommandList(ProgramFolder(programFolder));
    s.view = p.list;
    s.menus = &p.menus;
    // "Options" is on the menu bar too: the only way to it on a desktop without a tray or a head.
    s.menuBar = {p.menus.mnuAdd(), &p.options};
    s.editor = &p.editor;
    s.ikon = programIcon();
    p.form = std::make_unique<Form1>(s);

    Form1* form = p.form.get();
    OptionsMenu* options = &p.options;
    QObject::connect(options, &QMenu::aboutToShow, form, &Form1::mnuOptions_Click);
    QObject::connect(options->mnuBrain(), &QAction::triggered, form, &Form1::mnuBrain_Click);
    QObject::connect(options->mnuSleep(), &QAction::triggered, form, &Form1::mnuSleep_Click);
    QObject::connect(options->mnuQuit(), &QAction::triggered, form, &Form1::mnuQuit_Click);

    // The rows' buttons and the plugin entries of "Add command".
    CommandList* list = p.list;
    QObject::connect(list, &CommandList::deleteRequested, form, &Form1::remove_Click);
    QObject::connect(list, &CommandList::changeRequested, form, &Form1::changer_Click);
    QObject::connect(&p.menus, &CommandMenus::pluginChosen, form, &Form1::pluginmenu_Click);

    // The editor's confirm button.
    QObject::connect(&p.editor, &SettingsEditor::confirmed, form, &Form1::addtobrain_Click);

    // The head: its menu entries ("No head" and one per character file), the right click that opens
    // "Options", and the voice its character file chooses.
    CharacterHead* head = &p.head;
    QObject::connect(options->noHead(), &QAction::triggered, head, [head, form] {
        head->nh_Click(0, QStringLiteral("No head"));
        form->keepReachable();
    });
    QObject::connect(&p.menus, &CommandMenus::headChosen, head,
                     [head](int index, const QString& caption) { head->nh_Click(index, caption); });
    QObject::connect(head, &CharacterHead::optionsRequested, options,
                     [options](const QPoint& at) { options->popup(at); });
    UserMessages* told = &p.messages;
    QObject::connect(head, &CharacterHead::voiceChosen, form, [form, told](int voice) {
        float n = float(voice);
        try {
            form->setvoice(n);
        } catch (const std::exception& error) {
            // The head still shows; it speaks with the voice it had.
            told->warning(
                QStringLiteral("Quorzel"),
                QStringLiteral("The head's voice cannot be chosen: %1").arg(QString::fromUtf8(error.what())));
        }
    });
}

QuorzelProgram::~QuorzelProgram() = default;

Form1& QuorzelProgram::form() {
    return *parts_->form;
}

OptionsMenu& QuorzelProgram::options() {
    return parts_->options;
}

TrayIcon& QuorzelProgram::tray() {
    return parts_->tray;
}

CharacterHead& QuorzelProgram::head() {
    return parts_->head;
}

CommandList& QuorzelProgram::list() {
    return *parts_->list;
}

CommandMenus& QuorzelProgram::menus() {
    return parts_->menus;
}

SettingsEditor& QuorzelProgram::editor() {
    return parts_->editor;
}

} // namespace qz
