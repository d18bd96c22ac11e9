#include "shell/QtScriptUi.h"

#include "platform/scripthost/ScriptText.h"

#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace qz {
namespace {

// The script language's button sets (the low nibble of MsgBox's second argument) and results.
enum { vbOK = 1, vbCancel = 2, vbAbort = 3, vbRetry = 4, vbIgnore = 5, vbYes = 6, vbNo = 7 };

} // namespace

int QtScriptUi::msgBox(const std::u16string& prompt, int buttons, const std::u16string& title) {
    QMessageBox box;
    box.setWindowTitle(title.empty() ? QStringLiteral("Quorzel") : fromScriptText(title));
    box.setText(fromScriptText(prompt));
    switch (buttons & 0x70) {
    case 16:
        box.setIcon(QMessageBox::Critical);
        break;
    case 32:
        box.setIcon(QMessageBox::Question);
        break;
    case 48:
        box.setIcon(QMessageBox::Warning);
        break;
    case 64:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    struct Choice {
        QMessageBox::StandardButton button;
        int result;
    };
    QList<Choice> choices;
    switch (buttons & 0x0F) {
    case 1:
        choices = {{QMessageBox::Ok, vbOK}, {QMessageBox::Cancel, vbCancel}};
        break;
    case 2:
        choices = {
            {QMessageBox::Abort, vbAbort}, {QMessageBox::Retry, vbRetry}, {QMessageBox::Ignore, vbIgnore}};
        break;
    case 3:
        choices = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}, {QMessageBox::Cancel, vbCancel}};
        break;
    case 4:
        choices = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}};
        break;
    case 5:
        choices = {{QMessageBox::Retry, vbRetry}, {QMessageBox::Cancel, vbCancel}};
        break;
    default:
        choices = {{QMessageBox::Ok, vbOK}};
        break;
    }
    QMessageBox::StandardButtons set;
    for (const Choice& c : choices)
        set |= c.button;
    box.setStandardButtons(set);
    const int clicked = box.exec();
    for (const Choice& c : choices)
        if (c.button == clicked) return c.result;
    return choices.size() > 1 ? vbCancel : vbOK;
}

std::optional<std::u16string> QtScriptUi::inputBox(const std::u16string& prompt, const std::u16string& title,
                                                   const std::u16string& defaultText) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(nullptr, title.empty() ? QStringLiteral("Quorzel") : fromScriptText(title),
                              fromScriptText(prompt), QLineEdit::Normal, fromScriptText(defaultText), &ok);
    if (!ok) return std::nullopt;
    return toScriptText(text);
}

} // namespace qz
