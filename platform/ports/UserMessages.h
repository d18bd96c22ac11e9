#pragma once

class QString;

namespace qz {

// Message boxes: the only way the program tells the user about a failure. One implementation, made in
// app/, serves every part of the program.
class UserMessages {
public:
    virtual ~UserMessages() = default;
    virtual void warning(const QString& title, const QString& text) = 0;
};

} // namespace qz
