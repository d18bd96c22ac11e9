#pragma once

// What a row shows for its record: the showing rules of the row control, with the defaults a row keeps
// when its record lacks the fields a rule needs.

#include <QString>

namespace qz {

struct RowContent {
    enum class Icon { Ear, Deaf, Dissa, Scriptia, Plugin, Default };

    QString command;
    QString action;
    Icon icon = Icon::Default;
    QString plugin; // with Icon::Plugin: the plugin whose icon data/<plugin>.bmp is shown

    bool operator==(const RowContent&) const = default;
};

// The captions a row starts with, kept by a record too short for the rules that would replace them.
inline constexpr QStringView kDefaultCommand = u"How are you today?";
inline constexpr QStringView kDefaultAction = u"Just fine thank you!";

// Row `index` showing `record`.
RowContent rowContent(const QString& record, int index);
// Row 0 of an empty list: nothing to show but its icon.
RowContent emptyRowContent();

} // namespace qz
