#include "store/CommandRecord.h"

namespace qz::CommandRecord {

std::optional<QString> field(const QString& record, int k) {
    if (k < 0) return std::nullopt;
    qsizetype start = 0;
    for (int i = 0; i < k; ++i) {
        const qsizetype bar = record.indexOf(u'|', start);
        if (bar < 0) return std::nullopt;
        start = bar + 1;
    }
    const qsizetype end = record.indexOf(u'|', start);
    return record.mid(start, end < 0 ? -1 : end - start);
}

namespace {
bool hasLineBreak(const QString& text) {
    return text.contains(u'\r') || text.contains(u'\n');
}
} // namespace

QString compose(const QString& phrase, const QString& settings, const QString& plugin) {
    // The file has one record per line and the phrase is field 0: a bar would shift every field behind
    // it and a line break would split the command in two on the next start.
    if (phrase.contains(u'|')) throw InvalidRecord("The activation phrase must not contain \"|\".");
    if (hasLineBreak(phrase)) throw InvalidRecord("The activation phrase must not contain a line break.");
    if (hasLineBreak(settings)) throw InvalidRecord("The command's settings must not contain a line break.");
    if (plugin.contains(u'|') || hasLineBreak(plugin))
        throw InvalidRecord("The plugin name must not contain \"|\" or a line break.");

    const auto piece1 = field(settings, 1);
    if (piece1 && *piece1 == kRepeatMarker) {
        const QString message = settings.left(settings.indexOf(QLatin1Char('|') + kRepeatMarker.toString()));
        return phrase + QStringLiteral("|repeat|") + plugin + QLatin1Char('|') + message;
    }
    return phrase + QStringLiteral("|plugin|") + plugin + QLatin1Char('|') + settings;
}

} // namespace qz::CommandRecord
