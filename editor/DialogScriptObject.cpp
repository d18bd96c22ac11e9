#include "editor/DialogScriptObject.h"

#include "editor/Form2.h"
#include "platform/scripthost/ScriptObjectArray.h"

#include "vbscript/ScriptError.h"

namespace qz {

namespace design = vbscript::plugin;

DialogScriptObject::DialogScriptObject(Form2& form) : QObject(&form), form_(form) {
    setObjectName(QStringLiteral("dialog"));
}

QObject* DialogScriptObject::Textbox() const {
    return form_.array(design::kTextbox);
}
QObject* DialogScriptObject::Labelthing() const {
    return form_.array(design::kLabelthing);
}
QObject* DialogScriptObject::Checkbox() const {
    return form_.array(design::kCheckbox);
}
QObject* DialogScriptObject::bp1() const {
    return form_.array(design::kPathBox);
}
QObject* DialogScriptObject::bp2() const {
    return form_.array(design::kBrowseButton);
}
QObject* DialogScriptObject::addtobrain() const {
    return form_.confirmButton();
}

QString DialogScriptObject::Caption() const {
    return form_.windowTitle();
}
void DialogScriptObject::setCaption(const QString& caption) {
    form_.setWindowTitle(caption);
}

int DialogScriptObject::Width() const {
    return form_.clientWidthTwips();
}
void DialogScriptObject::setWidth(int twips) {
    if (twips < 0) throw vbscript::ScriptError(380, u"Invalid property value: a width cannot be negative");
    form_.setClientTwips(twips, form_.clientHeightTwips());
}
int DialogScriptObject::Height() const {
    return form_.clientHeightTwips();
}
void DialogScriptObject::setHeight(int twips) {
    if (twips < 0) throw vbscript::ScriptError(380, u"Invalid property value: a height cannot be negative");
    form_.setClientTwips(form_.clientWidthTwips(), twips);
}

QString DialogScriptObject::dialogplugin() const {
    return form_.dialogplugin;
}
void DialogScriptObject::setDialogplugin(const QString& plugin) {
    form_.dialogplugin = plugin;
}

} // namespace qz
