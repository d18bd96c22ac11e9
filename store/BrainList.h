#pragma once

#include "store/CommandFile.h"

#include <QString>
#include <QStringList>

#include <optional>

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
    void append(const QString& record);
    // Removes record i; the records behind it move up by one. Returns false when i is outside the list.
    bool remove(int i);

    // A record's identity for this run, which removals in front of it do not change (its index does): the
    // editor changing a record finds it again by this. Ids are never reused; 0 is no record.
    quint64 idAt(int i) const;
    // The index of the record with this id, or -1 once it has been removed.
    int indexOfId(quint64 id) const;

    // Reads the command file into the (empty) list. A file that exists but cannot be read is protected:
    // no save of this run touches it, so the user's commands are never overwritten with a partial list.
    CommandFile::ReadResult load();

    // Rewrites the command file from the list. A list that still holds exactly what the file gave it (or
    // what the last save wrote) writes nothing: a hand-edited file is not rewritten until a command
    // changes, and a start-up in a read-only folder has nothing to fail at. Returns the reason of a
    // failure in words, or an empty string.
    QString save(FileDevice& device = systemFileDevice());
    bool isProtected() const { return protected_; }
    TextEncoding encoding() const { return encoding_; }

private:
    QString path_;
    QStringList records_;
    QList<quint64> ids_; // parallel to records_
    quint64 nextId_ = 1;
    TextEncoding encoding_ = TextEncoding::Utf8;
    bool protected_ = false;
    std::optional<QStringList> onDisk_; // the records the file holds; nothing when it does not exist
};

} // namespace qz
