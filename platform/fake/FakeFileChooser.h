#pragma once
// Test double of FileChooser: records every request and answers the next of `answers` (nothing, the
// user's cancel, once they run out).

#include "platform/window/FileChooser.h"

#include <QList>

namespace qz {

class FakeFileChooser : public FileChooser {
public:
    std::optional<QString> chooseFile(QWidget* owner, const FileRequest& request) override {
        owners.append(owner);
        requests.append(request);
        if (answers.isEmpty()) return std::nullopt;
        return answers.takeFirst();
    }

    QList<std::optional<QString>> answers;
    QList<FileRequest> requests;
    QList<QWidget*> owners;
};

} // namespace qz
