#include "listview/RowContent.h"

#include <QStringList>

namespace qz {

RowContent rowContent(const QString& record, int index) {
    const QStringList fields = record.split(QLatin1Char('|'));
    RowContent row;
    row.command = fields.at(0);
    row.action = kDefaultAction.toString();
    if (fields.size() > 3) row.action = fields.at(2) + QLatin1Char('(') + fields.at(3) + QLatin1Char(')');
    const bool stateCommand =
        fields.size() > 1 &&
        (fields.at(1) == u"activate" || fields.at(1) == u"deactivate" || fields.at(1) == u"sleep");
    if (stateCommand && fields.size() > 2) row.action = fields.at(2);

    switch (index) {
    case 0:
        row.icon = RowContent::Icon::Ear;
        break;
    case 1:
        row.icon = RowContent::Icon::Deaf;
        break;
    case 2:
        row.icon = RowContent::Icon::Dissa;
        break;
    default:
        if (fields.size() < 2) break;
        if (fields.at(1) == u"script") {
            row.icon = RowContent::Icon::Scriptia;
        } else if (fields.size() > 2) {
            row.icon = RowContent::Icon::Plugin;
            row.plugin = fields.at(2);
        }
    }
    return row;
}

RowContent emptyRowContent() {
    RowContent row;
    row.icon = RowContent::Icon::Ear;
    return row;
}

} // namespace qz
