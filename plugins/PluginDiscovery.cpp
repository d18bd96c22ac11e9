#include "plugins/PluginDiscovery.h"

#include <QDir>

#include <algorithm>

namespace qz::discovery {
namespace {

QStringList listed(const QString& folder, const QString& pattern, QDir::Filters caseFilter) {
    // Normal files only: folders and hidden files are not offered, as a file list would not show them.
    return QDir(folder).entryList({pattern}, QDir::Files | caseFilter, QDir::Name | QDir::IgnoreCase);
}

bool hasControlCharacter(const QString& name) {
    return std::any_of(name.begin(), name.end(),
                       [](QChar c) { return c.category() == QChar::Other_Control; });
}

} // namespace

QStringList pluginNames(const QString& dataFolder) {
    QStringList names;
    for (const QString& file : listed(dataFolder, QStringLiteral("*.qzp"), QDir::CaseSensitive)) {
        const QString name = file.left(file.indexOf(QLatin1String(".qzp")));
        if (name.isEmpty() || name.contains(QLatin1Char('|')) || hasControlCharacter(name)) continue;
        names << name;
    }
    return names;
}

QStringList headFiles(const QString& characterFolder) {
    QStringList files;
    for (const QString& file : listed(characterFolder, QStringLiteral("*.qzc"), {}))
        if (!hasControlCharacter(file)) files << file;
    return files;
}

} // namespace qz::discovery
