#pragma once
// The exception the audio adapters throw (WAV files that cannot be read or written); what() is the message
// the user can be shown.

#include <stdexcept>

#include <QString>

namespace qz {

class AudioError : public std::runtime_error {
public:
    explicit AudioError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromStdString(what()); }
};

} // namespace qz
