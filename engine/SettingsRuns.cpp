// The settings runs: the editor opened for a new command from the "Add command" menu, opened on a stored
// command by its row's change button, and confirmed. Each loads the plugin with the settings objects,
// yields to the message loop and runs one procedure of the plugin. What arrives during the yields and
// would load other code into the shared script host waits until that procedure has returned.

#include "engine/Form1.h"
#include "engine/ScriptObjects.h"
#include "platform/scripthost/ScriptQObject.h"
#include "plugins/ScriptRunner.h"
#include "store/CommandRecord.h"

#include <QCoreApplication>

namespace qz {

namespace {
const QString kCreateCaption = QStringLiteral("Create");
const QString kChangeCaption = QStringLiteral("Change");
} // namespace

// From a settings run's loading to its procedure's return.
class Form1::SettingsRun {
public:
    explicit SettingsRun(Form1& form) : form_(form) { ++form_.settingsRuns_; }
    ~SettingsRun() { --form_.settingsRuns_; }
    SettingsRun(const SettingsRun&) = delete;
    SettingsRun& operator=(const SettingsRun&) = delete;

private:
    Form1& form_;
};

bool Form1::waitForSettingsRun(std::function<void()> task) {
    if (settingsRuns_ == 0) return false;
    waiting_.push_back(std::move(task));
    return true;
}

void Form1::runWaiting() {
    // Only the outermost call drains: a waiting task may be a settings run that ends by calling this.
    if (runningWaiting_) return;
    runningWaiting_ = true;
    while (settingsRuns_ == 0 && !waiting_.empty()) {
        std::function<void()> task = std::move(waiting_.front());
        waiting_.pop_front();
        task();
    }
    runningWaiting_ = false;
}

std::optional<QString> Form1::settingsPluginText(const QString& plugin, const QString& command) {
    const QString path = services_.programFolder.pluginFile(plugin);
    QString reason;
    auto text = ScriptRunner::readPluginText(path, &reason);
    if (!text)
        services_.messages->warning(
            QStringLiteral("Quorzel"),
            QStringLiteral("%1: the plugin file cannot be read:\n%2\n\n%3").arg(command, path, reason));
    return text;
}

bool Form1::loadForSettings(const QString& plugin, const QString& text) {
    ScriptRunner& host = *services_.scripts;
    host.Reset();
    ++hostLoads_;
    if (!scriptObjects_) scriptObjects_ = std::make_unique<ScriptObjects>(*this, services_.clipboard);
    CommandEditor& editor = *services_.editor;
    host.AddObject(QStringLiteral("dialog"),
                   ScriptQObject::wrap(editor.scriptObject(QStringLiteral("dialog"))));
    host.AddObject(QStringLiteral("qz"), scriptObjects_->qz());
    for (const QString& name :
         {QStringLiteral("textinput"), QStringLiteral("textoutput"), QStringLiteral("browsedialog")})
        host.AddObject(name, ScriptQObject::wrap(editor.scriptObject(name)));
    return host.AddCode(text, plugin);
}

void Form1::pluginmenu_Click(const QString& plugin) {
    if (!services_.scripts) return;
    if (waitForSettingsRun([this, plugin] { pluginmenu_Click(plugin); })) return;
    const auto text = settingsPluginText(plugin, QStringLiteral("The plugin \"%1\"").arg(plugin));
    if (!text) return;
    CommandEditor& editor = *services_.editor;
    {
        SettingsRun run(*this);
        editor.clearFields();
        const bool loaded = loadForSettings(plugin, *text);
        editor.setDialogplugin(plugin);
        editor.setConfirmButton(kCreateCaption, QString());
        changing_ = 0;
        editor.showModeless();
        QCoreApplication::processEvents();
        // A script that does not compile has said so once; the dialog stays open with what it has.
        if (loaded && editor.isOpen()) services_.scripts->Run(QStringLiteral("draw"));
    }
    runWaiting();
    QCoreApplication::processEvents();
    // Also after a failed draw: the path boxes it made before failing get their buttons.
    editor.attachBrowseButtons();
}

void Form1::changer_Click(int index) {
    changethesetting(index);
}

void Form1::changethesetting(int index) {
    if (!services_.scripts) return;
    if (waitForSettingsRun([this, index] { changethesetting(index); })) return;
    const QString record = brainlist_.record(index);
    const QString what = QStringLiteral("The command \"%1\" cannot be changed")
                             .arg(CommandRecord::field(record, 0).value_or(QString()));
    const auto plugin = CommandRecord::field(record, 2);
    if (!plugin) {
        services_.messages->warning(
            QStringLiteral("Quorzel"),
            QStringLiteral("%1: its line in the command file\n%2\nhas fewer than three "
                           "fields, so it names no plugin file.")
                .arg(what, brainlist_.filePath()));
        return;
    }
    const auto text = settingsPluginText(*plugin, what);
    if (!text) return;
    CommandEditor& editor = *services_.editor;
    {
        SettingsRun run(*this);
        editor.clearFields();
        const bool loaded = loadForSettings(*plugin, *text);
        editor.setDialogplugin(*plugin);
        pluginrecord = record;
        editor.setConfirmButton(kChangeCaption, QString::number(index));
        changing_ = brainlist_.idAt(index);
        editor.showModeless();
        QCoreApplication::processEvents();
        if (loaded && editor.isOpen()) services_.scripts->Run(QStringLiteral("Changer"));
    }
    runWaiting();
    QCoreApplication::processEvents();
    editor.attachBrowseButtons();
}

void Form1::addtobrain_Click() {
    if (!services_.scripts) return;
    if (waitForSettingsRun([this] { addtobrain_Click(); })) return;
    CommandEditor& editor = *services_.editor;
    if (!editor.isOpen()) return;
    const QString plugin = editor.dialogplugin();
    const bool change = editor.confirmCaption() == kChangeCaption;
    // Nothing is removed before the plugin's create has stored the new command (see addtobrain).
    const auto text = settingsPluginText(plugin, change ? QStringLiteral("The command cannot be changed")
                                                        : QStringLiteral("The command cannot be created"));
    if (!text) return;
    {
        SettingsRun run(*this);
        const bool loaded = loadForSettings(plugin, *text);
        QCoreApplication::processEvents();
        if (loaded && editor.isOpen()) {
            replacing_ = change ? changing_ : 0;
            services_.scripts->Run(QStringLiteral("create"));
            replacing_ = 0;
        }
    }
    runWaiting();
}

void Form1::create(const QString& kind) {
    services_.editor->create(kind);
}

void Form1::followChangedRecord() {
    if (changing_ == 0 || !services_.editor->isOpen()) return;
    const int index = brainlist_.indexOfId(changing_);
    if (index >= 0) services_.editor->setConfirmTag(QString::number(index));
}

} // namespace qz
