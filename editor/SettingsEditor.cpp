#include "editor/SettingsEditor.h"

#include "editor/Form2.h"
#include "platform/scripthost/ScriptObjectArray.h"
#include "platform/window/FileChooser.h"

namespace qz {

namespace design = vbscript::plugin;

SettingsEditor::SettingsEditor(FileChooser& files, QString programFolder)
    : files_(files), programFolder_(std::move(programFolder)) {}

SettingsEditor::~SettingsEditor() {
    delete form_.data();
}

Form2* SettingsEditor::load() {
    if (form_) return form_;
    form_ = new Form2();
    connect(form_, &Form2::confirmClicked, this, &SettingsEditor::confirmed);
    connect(form_, &Form2::browseClicked, this, &SettingsEditor::Browse);
    // Queued: the dialog is discarded from the event loop, not from inside its own close.
    connect(form_, &Form2::closedByUser, this, &SettingsEditor::unload, Qt::QueuedConnection);
    return form_;
}

Form2* SettingsEditor::form() const {
    return form_;
}

bool SettingsEditor::isOpen() const {
    return form_;
}

QString SettingsEditor::dialogplugin() const {
    return form_ ? form_->dialogplugin : QString();
}

void SettingsEditor::setDialogplugin(const QString& plugin) {
    load()->dialogplugin = plugin;
}

QString SettingsEditor::phrase() const {
    return form_ ? form_->element(design::kTextbox, 0)->text() : QString();
}

void SettingsEditor::unload() {
    if (!form_) return;
    Form2* form = form_;
    form_ = nullptr;
    form->hide();
    // Scripts that still hold a field find it gone at once; the window itself goes from the event loop,
    // since this may run inside one of its own events.
    form->discardScriptObjects();
    form->deleteLater();
}

void SettingsEditor::clearFields() {
    load()->removeFields();
}

QString SettingsEditor::confirmCaption() const {
    return form_ ? form_->confirmButton()->text() : QString();
}

void SettingsEditor::setConfirmButton(const QString& caption, const QString& tag) {
    ButtonControl* button = load()->confirmButton();
    button->setText(caption);
    button->setTag(tag);
}

void SettingsEditor::setConfirmTag(const QString& tag) {
    if (form_) form_->confirmButton()->setTag(tag);
}

void SettingsEditor::showModeless() {
    Form2* form = load();
    form->show();
    form->raise();
    form->activateWindow();
}

void SettingsEditor::create(const QString& kind) {
    if (form_) form_->create(kind);
}

void SettingsEditor::attachBrowseButtons() {
    if (form_) form_->attachBrowseButtons();
}

QObject* SettingsEditor::scriptObject(const QString& name) {
    if (!form_) return nullptr;
    if (name == QLatin1String("dialog")) return form_->scriptObject();
    for (const design::ControlDesign* d : design::kControlArrays)
        if (!d->scriptName.empty() && designText(d->scriptName) == name) return form_->array(*d);
    return nullptr;
}

void SettingsEditor::Browse(int index) {
    if (!form_) return;
    FileRequest request;
    request.title = QStringLiteral("Chose a file or an executable");
    request.filterDescription = QStringLiteral("All files and executables (*.*)");
    request.filterPattern = QStringLiteral("*.*");
    request.startFolder = programFolder_ + QLatin1Char('/');
    request.startFile = lastPath_;
    const std::optional<QString> chosen = files_.chooseFile(form_, request);
    if (!chosen) return;
    lastPath_ = *chosen;
    // The dialog may have closed, or a new opening replaced its fields, while the chooser was open.
    if (!form_) return;
    if (DialogControl* box = form_->element(design::kPathBox, index)) box->setText(*chosen);
}

} // namespace qz
