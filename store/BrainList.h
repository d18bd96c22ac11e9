#pragma once

#include "store/CommandFile.h"

#include <QString>
#include <QStringList>

namespace qz {

// `brainlist`: the ordered command records, in file order, and the command file they are saved to.
// A command is known everywhere by its index here, so indexes are plain int and never wrap.
class BrainList {
public:
    explicit BrainList(QString filePath = {});

    const QString& filePath() const { return path_; }
    int count() const { return int(records_.size()); }
    // Record i, or the empty record when i is outside the list (which matches no command).
    QString record(int i) const;
    const QStringList& records() const { return records_; }
    void append(const QString& record) { records_.append(record); }
    // Removes record i; the records behind it move up by one. Returns false when i is outside the list.
    bool remove(int i);

    // Reads the command file into the (empty) list. A file that exists but cannot be read is protected:
    // no save of this run touches it, so the user's commands are never overwritten with a partial list.
    CommandFile::ReadResult load();

    // Rewrites the command file from the list. Returns the reason of a failure, or an empty string.
    QString save();
    bool isProtected() const { return protected_; }
    TextEncoding encoding() const { return encoding_; }

private:
    QString path_;
    QStringList records_;
    TextEncoding encoding_ = TextEncoding::Utf8;
    bool protected_ = false;
};

} // namespace qz
