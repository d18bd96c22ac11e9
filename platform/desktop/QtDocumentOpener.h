#pragma once
// Opens documents, folders and URLs with the desktop's preferred program through QDesktopServices.

#include "platform/desktop/DocumentOpener.h"

#include <QUrl>

namespace qz {

class QtDocumentOpener : public DocumentOpener {
public:
    bool open(const QString& pathOrUrl) override;

    // What `pathOrUrl` stands for: an existing local file or folder ("~/" expanded, made absolute), else a
    // URL with a scheme ("https://...", "mailto:...", "file:///..." of an existing file). Invalid (empty)
    // otherwise.
    static QUrl target(const QString& pathOrUrl);
};

} // namespace qz
