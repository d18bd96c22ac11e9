#include "shell/ProgramIcon.h"

#include <QColor>
#include <QPixmap>

namespace qz {

QIcon programIcon() {
    QIcon icon(QStringLiteral(":/quorzel/quorzel.png"));
    if (icon.isNull()) {
        // Without the artwork the tray still needs something visible to click.
        QPixmap fallback(32, 32);
        fallback.fill(QColor(40, 110, 200));
        icon = QIcon(fallback);
    }
    return icon;
}

} // namespace qz
