#include "engine/ScriptObjects.h"

#include "engine/Form1.h"
#include "platform/scripthost/ScriptText.h"
#include "platform/desktop/DesktopError.h"
#include "platform/scripthost/ScriptClipboard.h"
#include "platform/scripthost/ScriptQObject.h"

#include "vbscript/ScriptError.h"

namespace qz {

QzScriptObject::QzScriptObject(Form1& form) : m_form(form) { setObjectName(QStringLiteral("QZ")); }

void QzScriptObject::speak(const QString& text) { m_form.speak(text); }
void QzScriptObject::presskeys(const QString& keys) { m_form.presskeys(keys); }

void QzScriptObject::cmd(const QString& commandLine) {
    try {
        m_form.cmd(commandLine);
    } catch (const DesktopError& e) {
        // The script language's own number for a program that cannot be found.
        throw vbscript::ScriptError(53, toScriptText(QString::fromUtf8(e.what())));
    }
}

void QzScriptObject::openfile(const QString& whichone) { m_form.openfile(whichone); }
QString QzScriptObject::getsellected() { return m_form.getsellected(); }
QString QzScriptObject::settings(float& n) { return m_form.settings(n); }
void QzScriptObject::setvoice(float& n) { m_form.setvoice(n); }
void QzScriptObject::Startdictation() { m_form.Startdictation(); }
void QzScriptObject::Stopdictation() { m_form.Stopdictation(); }
void QzScriptObject::capturesentence() { m_form.capturesentence(); }
void QzScriptObject::listenfor(const QString& phrase) { m_form.listenfor(phrase); }
void QzScriptObject::RebuildGrammar() { m_form.RebuildGrammar(); }
void QzScriptObject::refreshbrain() { m_form.refreshbrain(); }
void QzScriptObject::addtobrain(const QString& settings, const QString& plugin) { m_form.addtobrain(settings, plugin); }
QString QzScriptObject::capturedtext() const { return m_form.capturedtext; }

ScriptObjects::ScriptObjects(Form1& form, Clipboard* clipboard)
    : m_qzObject(form), m_qz(ScriptQObject::wrap(&m_qzObject)) {
    if (clipboard) {
        m_clipboardObject = std::make_unique<ScriptClipboard>(*clipboard);
        m_clipboard = ScriptQObject::wrap(m_clipboardObject.get());
    }
}

ScriptObjects::~ScriptObjects() = default;

} // namespace qz
