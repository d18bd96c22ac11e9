#include "store/BrainList.h"

namespace qz {

BrainList::BrainList(QString filePath) : path_(std::move(filePath)) {}

QString BrainList::record(int i) const {
    return (i >= 0 && i < count()) ? records_.at(i) : QString();
}

bool BrainList::remove(int i) {
    if (i < 0 || i >= count()) return false;
    records_.removeAt(i);
    return true;
}

CommandFile::ReadResult BrainList::load() {
    CommandFile::ReadResult result = CommandFile::read(path_);
    protected_ = result.status == CommandFile::ReadResult::Status::Unreadable;
    encoding_ = result.encoding;
    records_.append(result.records);
    return result;
}

QString BrainList::save() {
    if (protected_) return {};
    return CommandFile::write(path_, records_, encoding_);
}

} // namespace qz
