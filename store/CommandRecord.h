#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <stdexcept>

namespace qz {

// A command record is one line whose fields are separated by "|", without quoting or escaping:
// 0 phrase, 1 action type, 2 plugin name or reply, 3 and on the settings or the repeat message.
namespace CommandRecord {

inline constexpr QStringView kRepeatMarker = u"1337-REPEATCODE";

// Field k of the record, or nothing when the record has fewer fields.
std::optional<QString> field(const QString& record, int k);

// Builds the record that the command editor stores for `settings`: a "repeat" record when the second
// "|"-piece of the settings is exactly the repeat marker, otherwise a "plugin" record carrying the
// settings unchanged. Throws InvalidRecord when a value would break the file's layout.
QString compose(const QString& phrase, const QString& settings, const QString& plugin);

} // namespace CommandRecord

// A value that cannot be stored without corrupting the command file; the message says why.
class InvalidRecord : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

} // namespace qz
