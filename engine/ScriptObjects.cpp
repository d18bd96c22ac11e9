#include "engine/ScriptObjects.h"

#include "engine/Form1.h"
#include "platform/desktop/DesktopError.h"
#include "platform/scripthost/ScriptClipboard.h"
#include "platform/scripthost/ScriptQObject.h"
#include "platform/scripthost/ScriptText.h"

#include "vbscript/ScriptError.h"

#include <QTimer>

namespace qz {

QzScriptObject::QzScriptObject(Form1& form) : form_(form) {
    setObjectName(QStringLiteral("QZ"));
}

void QzScriptObject::speak(const QString& text) {
    form_.speak(text);
}
void QzScriptObject::presskeys(const QString& keys) {
    form_.presskeys(keys);
}

void QzScriptObject::cmd(const QString& commandLine) {
    try {
        form_.cmd(commandLine);
    } catch (const DesktopError& e) {
        // The script language's own number for a program that cannot be found.
        throw vbscript::ScriptError(53, toScriptText(QString::fromUtf8(e.what())));
    }
}

void QzScriptObject::openfile(const QString& whichone) {
    form_.openfile(whichone);
}
QString QzScriptObject::getsellected() {
    return form_.getsellected();
}
QString QzScriptObject::settings(float& n) {
    return form_.settings(n);
}
void QzScriptObject::setvoice(float& n) {
    form_.setvoice(n);
}
void QzScriptObject::Startdictation() {
    form_.Startdictation();
}
void QzScriptObject::Stopdictation() {
    form_.Stopdictation();
}
void QzScriptObject::capturesentence() {
    form_.capturesentence();
}
void QzScriptObject::listenfor(const QString& phrase) {
    form_.listenfor(phrase);
}
void QzScriptObject::RebuildGrammar() {
    form_.RebuildGrammar();
}
void QzScriptObject::refreshbrain() {
    form_.refreshbrain();
}
void QzScriptObject::addtobrain(const QString& settings, const QString& plugin) {
    form_.addtobrain(settings, plugin);
}
void QzScriptObject::create(const QString& kind) {
    form_.create(kind);
}
void QzScriptObject::changethesetting(int index) {
    // The opening resets the script host, which must not happen under the script that asked for it.
    QTimer::singleShot(0, &form_, [form = &form_, index] { form->changethesetting(index); });
}
QString QzScriptObject::capturedtext() const {
    return form_.capturedtext;
}

ScriptObjects::ScriptObjects(Form1& form, Clipboard* clipboard)
    : qzObject_(form), qz_(ScriptQObject::wrap(&qzObject_)) {
    if (clipboard) {
        clipboardObject_ = std::make_unique<ScriptClipboard>(*clipboard);
        clipboard_ = ScriptQObject::wrap(clipboardObject_.get());
    }
}

ScriptObjects::~ScriptObjects() = default;

} // namespace qz
