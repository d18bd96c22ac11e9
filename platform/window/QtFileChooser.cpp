#include "platform/window/QtFileChooser.h"

#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>

namespace qz {
namespace {

// Moves the dialog to the middle of its screen when it first shows and again when it first becomes
// active (a window manager may have placed it in between), then stops watching.
class CentreOnScreen : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = qobject_cast<QWidget*>(watched);
        if (window && (event->type() == QEvent::Show || event->type() == QEvent::WindowActivate)) {
            const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
            if (screen) {
                const QRect area = screen->geometry();
                const QSize size = window->frameGeometry().size();
                window->move(area.x() + area.width() / 2 - size.width() / 2,
                             area.y() + area.height() / 2 - size.height() / 2);
            }
            if (event->type() == QEvent::WindowActivate) {
                window->removeEventFilter(this);
                deleteLater();
            }
        }
        return false;
    }
};

// Asks before taking the name of a file that does not exist.
class OpenDialog : public QFileDialog {
public:
    using QFileDialog::QFileDialog;
    void accept() override {
        const QStringList chosen = selectedFiles();
        if (chosen.size() == 1 && !QFileInfo::exists(chosen.first())) {
            const auto answer = QMessageBox::question(
                this, windowTitle(),
                QStringLiteral("%1\nThis file does not exist.\nDo you want to create it?")
                    .arg(QFileInfo(chosen.first()).fileName()));
            if (answer != QMessageBox::Yes) return;
        }
        QFileDialog::accept();
    }
};

} // namespace

std::optional<QString> QtFileChooser::chooseFile(QWidget* owner, const FileRequest& request) {
    QPointer<QFileDialog> dialog = new OpenDialog(owner, request.title);
    dialog->setAttribute(Qt::WA_DeleteOnClose, false);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setOption(QFileDialog::DontResolveSymlinks);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    // "*.*" means every file where it comes from; here it would hide every name without a dot (most
    // programs), so the dialog shows the description as given and matches with "*".
    const QString pattern =
        request.filterPattern == QLatin1String("*.*") ? QStringLiteral("*") : request.filterPattern;
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    dialog->setNameFilter(QStringLiteral("%1 (%2)").arg(request.filterDescription, pattern));
    if (!request.startFile.isEmpty()) {
        dialog->selectFile(request.startFile);
    } else {
        dialog->setDirectory(request.startFolder);
    }
    // On a small screen at a high DPI the dialog's own size would not fit: keep it within the screen.
    if (const QScreen* screen =
            owner && owner->screen() ? owner->screen() : QGuiApplication::primaryScreen()) {
        const QSize room = screen->availableGeometry().size() * 0.85;
        dialog->resize(dialog->sizeHint().expandedTo(QSize(640, 400)).boundedTo(room));
    }
    dialog->installEventFilter(new CentreOnScreen(dialog));
    const int result = dialog->exec();
    // The owner may have been closed while the dialog ran, taking the dialog with it.
    if (!dialog) return std::nullopt;
    std::optional<QString> chosen;
    if (result == QDialog::Accepted && dialog->selectedFiles().size() == 1)
        chosen = QFileInfo(dialog->selectedFiles().first()).absoluteFilePath();
    delete dialog.data();
    return chosen;
}

} // namespace qz
