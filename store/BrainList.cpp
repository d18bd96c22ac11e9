#include "store/BrainList.h"

namespace qz {

BrainList::BrainList(QString filePath) : path_(std::move(filePath)) {}

QString BrainList::record(int i) const {
    return (i >= 0 && i < count()) ? records_.at(i) : QString();
}

void BrainList::append(const QString& record) {
    records_.append(record);
    ids_.append(nextId_++);
}

bool BrainList::remove(int i) {
    if (i < 0 || i >= count()) return false;
    records_.removeAt(i);
    ids_.removeAt(i);
    return true;
}

quint64 BrainList::idAt(int i) const {
    return (i >= 0 && i < count()) ? ids_.at(i) : 0;
}

int BrainList::indexOfId(quint64 id) const {
    return id == 0 ? -1 : int(ids_.indexOf(id));
}

CommandFile::ReadResult BrainList::load() {
    CommandFile::ReadResult result = CommandFile::read(path_);
    protected_ = result.status == CommandFile::ReadResult::Status::Unreadable;
    encoding_ = result.encoding;
    for (const QString& record : result.records)
        append(record);
    if (result.status == CommandFile::ReadResult::Status::Ok) onDisk_ = result.records;
    return result;
}

QString BrainList::save(FileDevice& device) {
    if (protected_) return {};
    if (onDisk_ && *onDisk_ == records_) return {};
    const QString failure = CommandFile::write(path_, records_, encoding_, device);
    if (failure.isEmpty()) onDisk_ = records_;
    return failure;
}

} // namespace qz
