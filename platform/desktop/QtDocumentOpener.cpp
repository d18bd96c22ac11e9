#include "platform/desktop/QtDocumentOpener.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

namespace qz {

QUrl QtDocumentOpener::target(const QString& pathOrUrl) {
    QString text = pathOrUrl.trimmed();
    if (text.isEmpty()) return {};
    if (text == QLatin1String("~") || text.startsWith(QLatin1String("~/")))
        text = QDir::homePath() + text.mid(1);
    // An existing file wins, even if its name looks like a URL ("notes:draft.txt").
    const QFileInfo local(text);
    if (local.exists()) return QUrl::fromLocalFile(local.absoluteFilePath());
    // A one-letter scheme is a drive letter ("C:\..."), not a URL.
    const QUrl url(text, QUrl::TolerantMode);
    if (!url.isValid() || url.scheme().size() < 2) return {};
    if (url.isLocalFile()) return QFileInfo::exists(url.toLocalFile()) ? url : QUrl();
    return url;
}

bool QtDocumentOpener::open(const QString& pathOrUrl) {
    const QUrl url = target(pathOrUrl);
    return url.isValid() && QDesktopServices::openUrl(url);
}

} // namespace qz
