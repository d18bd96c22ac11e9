#pragma once
// FileChooser on QFileDialog: one file, links returned as themselves rather than their targets, a name
// that does not exist yet asked about before it is taken, and the dialog centred on the screen when it
// first comes up.

#include "platform/window/FileChooser.h"

namespace qz {

class QtFileChooser : public FileChooser {
public:
    std::optional<QString> chooseFile(QWidget* owner, const FileRequest& request) override;
};

} // namespace qz
