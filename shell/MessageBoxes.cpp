#include "shell/MessageBoxes.h"

#include <QMessageBox>

namespace qz {

void MessageBoxes::warning(const QString& title, const QString& text) {
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok);
    box.exec();
}

} // namespace qz
