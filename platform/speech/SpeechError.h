#pragma once
// The one exception the speech adapters throw; what() is the message the user can be shown.

#include <stdexcept>
#include <string>

#include <QString>

namespace qz {

class SpeechError : public std::runtime_error {
public:
    explicit SpeechError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

} // namespace qz
