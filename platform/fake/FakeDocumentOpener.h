#pragma once
// Test double of DocumentOpener: records every path asked for and answers `result`.

#include "platform/desktop/DocumentOpener.h"

#include <QStringList>

namespace qz {

class FakeDocumentOpener : public DocumentOpener {
public:
    bool open(const QString& pathOrUrl) override {
        opened.append(pathOrUrl);
        return result;
    }

    QStringList opened;
    bool result = true;
};

} // namespace qz
