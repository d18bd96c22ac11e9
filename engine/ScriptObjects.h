#pragma once

// The action objects a plugin's Main sees: "QZ", the controller's operations, and "clipboard". Both are
// QObjects that the script bridge exposes member by member.

#include <QObject>
#include <QString>

#include <memory>

namespace vbscript {
class HostObject;
}

namespace qz {

class Clipboard;
class Form1;
class ScriptClipboard;

// "QZ": what plugin scripts may call on the controller, and nothing else of the window.
class QzScriptObject : public QObject {
    Q_OBJECT
    // The sentence that capture mode took last, for a plugin's capture procedure.
    Q_PROPERTY(QString capturedtext READ capturedtext)
public:
    explicit QzScriptObject(Form1& form);

    Q_INVOKABLE void speak(const QString& text);
    Q_INVOKABLE void presskeys(const QString& keys);
    Q_INVOKABLE void cmd(const QString& commandLine);
    Q_INVOKABLE void openfile(const QString& whichone);
    Q_INVOKABLE QString getsellected();
    Q_INVOKABLE QString settings(float& n);
    Q_INVOKABLE void setvoice(float& n);
    Q_INVOKABLE void Startdictation();
    Q_INVOKABLE void Stopdictation();
    Q_INVOKABLE void capturesentence();
    Q_INVOKABLE void listenfor(const QString& phrase);
    Q_INVOKABLE void RebuildGrammar();
    Q_INVOKABLE void refreshbrain();
    Q_INVOKABLE void addtobrain(const QString& settings, const QString& plugin = QString());
    // The field builder: a new field of the settings dialog (draw and Changer).
    Q_INVOKABLE void create(const QString& kind);
    // Opens the editor on record `index` once the calling script's run has ended.
    Q_INVOKABLE void changethesetting(int index);
    QString capturedtext() const;

private:
    Form1& form_;
};

class ScriptObjects {
public:
    // Without a clipboard service the "clipboard" object is absent (Nothing).
    ScriptObjects(Form1& form, Clipboard* clipboard);
    ~ScriptObjects();
    std::shared_ptr<vbscript::HostObject> qz() const { return qz_; }
    std::shared_ptr<vbscript::HostObject> clipboard() const { return clipboard_; }

private:
    QzScriptObject qzObject_;
    std::unique_ptr<ScriptClipboard> clipboardObject_;
    std::shared_ptr<vbscript::HostObject> qz_;
    std::shared_ptr<vbscript::HostObject> clipboard_;
};

} // namespace qz
