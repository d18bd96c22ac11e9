#pragma once
// `Form2`, the settings dialog: caption "Add", a client area of 4815 x 3660 twips, the activation-phrase
// label and box, the confirm button `addtobrain`, and the control arrays `Textbox`, `Labelthing`,
// `Checkbox`, `bp1` and `bp2` whose elements 1 and up a plugin's script makes through create(kind).
// Depends on: editor/DialogControl, platform/scripthost (the arrays scripts index), platform/window.

#include "editor/DialogControl.h"

#include <QDialog>
#include <QString>

namespace qz {

class ScriptObjectArray;
class DialogScriptObject;

class Form2 : public QDialog {
    Q_OBJECT
public:
    explicit Form2(QWidget* parent = nullptr);
    ~Form2() override;

    // The array that `design` is element 0 of (kTextbox, kLabelthing, kCheckbox, kPathBox, kBrowseButton).
    ScriptObjectArray* array(const vbscript::plugin::ControlDesign& design) const;
    DialogControl* element(const vbscript::plugin::ControlDesign& design, int index) const;
    int upperBound(const vbscript::plugin::ControlDesign& design) const;
    ButtonControl* confirmButton() const { return addtobrain_; }
    // The "dialog" object of the settings runs.
    QObject* scriptObject() const;

    QString dialogplugin;

    // Removes the elements 1 and up of every array (Textbox, Labelthing, Checkbox, bp2, bp1) and empties
    // the phrase box.
    void removeFields();
    // A visible copy of element 0 of the array that `kind` names, numbered upper bound + 1; any other kind
    // (letter case counts) makes nothing. Returns the new element or null.
    DialogControl* create(const QString& kind);
    // For each path box bp1(i), i from 1: its Browse button bp2(i) over the box's right end, the box
    // narrowed to end 2 twips before it; a box too narrow for that keeps its width and gets the button
    // beside it.
    void attachBrowseButtons();

    // The client area in twips; setting it resizes the window. Kept exactly while the window keeps the
    // pixel size these twips make, so the confirm button's place needs no rounding.
    int clientWidthTwips() const { return clientWidth_; }
    int clientHeightTwips() const { return clientHeight_; }
    void setClientTwips(int width, int height);

    // Deletes every control and the objects scripts reach them by, so that what a script still holds
    // answers that it no longer exists; the window itself stays until it is deleted.
    void discardScriptObjects();

    // Tab order: the phrase box, the plugin's fields from top to bottom and left to right (each path box
    // followed by its Browse button), then the confirm button.
    void orderTabs();

    // Closing without confirming stores nothing. Escape closes as the close box does.
    void reject() override;

signals:
    // The confirm button was pressed; delivered from the event loop, never inside the click itself, so
    // that confirming may close and discard the dialog.
    void confirmClicked();
    // Browse button bp2(index) was pressed, delivered the same way.
    void browseClicked(int index);
    // The user closed the window.
    void closedByUser();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Resize: the confirm button 4 twips from the client area's bottom-right corner; nothing else moves.
    void placeConfirmButton();
    DialogControl* addElement(const vbscript::plugin::ControlDesign& design);
    void connectBrowse(ButtonControl* button, int index);

    struct Array {
        const vbscript::plugin::ControlDesign* design;
        ScriptObjectArray* elements;
    };
    std::vector<Array> arrays_;
    ButtonControl* addtobrain_ = nullptr;
    DialogScriptObject* scriptObject_ = nullptr;
    int clientWidth_;
    int clientHeight_;
};

} // namespace qz
