#pragma once
// The command editor as the controller reaches it (CommandEditor): the settings dialog `Form2`, loaded
// from its design when an opening needs it and discarded when it closes, and the Browse buttons' file
// chooser, whose last chosen path stays for the whole run of the program.
// Depends on: editor/Form2, platform/window's FileChooser, platform/ports.

#include "platform/ports/CommandEditor.h"

#include <QObject>
#include <QPointer>
#include <QString>

namespace qz {

class FileChooser;
class Form2;

class SettingsEditor : public QObject, public CommandEditor {
    Q_OBJECT
public:
    // Browse starts in `programFolder` until a file has been chosen.
    SettingsEditor(FileChooser& files, QString programFolder);
    ~SettingsEditor() override;

    bool isOpen() const override;
    QString dialogplugin() const override;
    void setDialogplugin(const QString& plugin) override;
    QString phrase() const override;
    void unload() override;
    void clearFields() override;
    QString confirmCaption() const override;
    void setConfirmButton(const QString& caption, const QString& tag) override;
    void setConfirmTag(const QString& tag) override;
    void showModeless() override;
    void create(const QString& kind) override;
    void attachBrowseButtons() override;
    QObject* scriptObject(const QString& name) override;

    // The dialog while it is loaded, else null.
    Form2* form() const;
    // Browse button `index`: the chosen file's full path goes into path box bp1(index); a cancel changes
    // nothing.
    void Browse(int index);
    const QString& lastChosenPath() const { return lastPath_; }

signals:
    // The dialog's confirm button was pressed.
    void confirmed();

private:
    Form2* load();

    FileChooser& files_;
    QString programFolder_;
    QString lastPath_;
    QPointer<Form2> form_;
};

} // namespace qz
