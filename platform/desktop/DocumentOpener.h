#pragma once
// Role: opens a file, folder or URL with the desktop's preferred program (`openfile`).

#include <QString>

namespace qz {

class DocumentOpener {
public:
    virtual ~DocumentOpener() = default;

    // Never throws: returns false when the path does not exist or nothing could open it, so the caller may
    // log.
    virtual bool open(const QString& pathOrUrl) = 0;
};

} // namespace qz
