#pragma once

#include <QString>

namespace qz {

// The command editor (the settings dialog `Form2`) as far as the controller reads and closes it. The
// dialog's own buttons (Confirm, Browse) and its opening from the "Add command" menu travel as signals
// that app/ connects.
class CommandEditor {
public:
    virtual ~CommandEditor() = default;
    virtual bool isOpen() const = 0;
    // `dialogplugin`: the plugin whose dialog is open, "" when none is.
    virtual QString dialogplugin() const = 0;
    // The text of the phrase box (`Textbox` element 0), "" when the dialog is not open.
    virtual QString phrase() const = 0;
    // Closes the dialog and discards its fields (`Unload Form2`).
    virtual void unload() = 0;
};

} // namespace qz
