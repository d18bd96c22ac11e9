#pragma once
// The platform's file-open dialog, as the settings dialog's Browse buttons use it.

#include <QString>

#include <optional>

class QWidget;

namespace qz {

struct FileRequest {
    QString title;
    QString filterDescription; // shown for the one filter
    QString filterPattern;     // "*.*" matches every file
    QString startFolder;       // the folder shown first when there is no start file
    QString startFile;         // the full path the file-name box starts with; may be empty
};

class FileChooser {
public:
    virtual ~FileChooser() = default;
    // The full path of the one file the user chose, or nothing when the user cancelled or the dialog
    // failed. `owner` is the window the dialog belongs to (may be null).
    virtual std::optional<QString> chooseFile(QWidget* owner, const FileRequest& request) = 0;
};

} // namespace qz
