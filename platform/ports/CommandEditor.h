#pragma once

#include <QString>

class QObject;

namespace qz {

// The command editor (the settings dialog `Form2`) as the controller opens, fills, reads and closes it.
// The dialog's confirm button travels as a signal that app/ connects to the controller; Browse, resizing
// and the close box are the dialog's own business.
class CommandEditor {
public:
    virtual ~CommandEditor() = default;
    virtual bool isOpen() const = 0;
    // `dialogplugin`: the plugin whose dialog is open, "" when none is.
    virtual QString dialogplugin() const = 0;
    virtual void setDialogplugin(const QString& plugin) = 0;
    // The text of the phrase box (`Textbox` element 0), "" when the dialog is not open.
    virtual QString phrase() const = 0;
    // Closes the dialog and discards its fields (`Unload Form2`).
    virtual void unload() = 0;

    // The first steps of every opening: the fields an earlier opening made are removed (`Textbox`,
    // `Labelthing`, `Checkbox`, `bp2`, `bp1`, in this order) and the phrase box is emptied. A closed dialog
    // is loaded afresh from its design, still hidden.
    virtual void clearFields() = 0;
    // The confirm button's caption, the dialog's only mode flag ("Create" or "Change"), and its tag.
    virtual QString confirmCaption() const = 0;
    virtual void setConfirmButton(const QString& caption, const QString& tag) = 0;
    virtual void setConfirmTag(const QString& tag) = 0;
    // Shows the dialog without making it modal.
    virtual void showModeless() = 0;
    // `create(kind)`: a new element of the array that `kind` names ("textinput", "textoutput", "checkbox",
    // "browsedialog", compared exactly); any other kind makes nothing. Nothing while the dialog is closed.
    virtual void create(const QString& kind) = 0;
    // A Browse button for every path box, once the script's draw or Changer has returned.
    virtual void attachBrowseButtons() = 0;
    // The settings objects a script reaches the dialog by: "dialog", "textinput", "textoutput",
    // "browsedialog"; null for any other name or while the dialog is closed. They live until the dialog
    // is unloaded.
    virtual QObject* scriptObject(const QString& name) = 0;
};

} // namespace qz
