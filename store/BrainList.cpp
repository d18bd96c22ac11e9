#include "store/BrainList.h"

namespace qz {

BrainList::BrainList(QString filePath) : m_path(std::move(filePath)) {}

QString BrainList::record(int i) const {
    return (i >= 0 && i < count()) ? m_records.at(i) : QString();
}

bool BrainList::remove(int i) {
    if (i < 0 || i >= count())
        return false;
    m_records.removeAt(i);
    return true;
}

CommandFile::ReadResult BrainList::load() {
    CommandFile::ReadResult result = CommandFile::read(m_path);
    m_protected = result.status == CommandFile::ReadResult::Status::Unreadable;
    m_encoding = result.encoding;
    m_records.append(result.records);
    return result;
}

QString BrainList::save() {
    if (m_protected)
        return {};
    return CommandFile::write(m_path, m_records, m_encoding);
}

} // namespace qz
