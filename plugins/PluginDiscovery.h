#pragma once

// `fillmenus`' file lists: the plugin files of data/ and the character files of character/, sorted by
// name as a file list shows them.

#include <QString>
#include <QStringList>

namespace qz::discovery {

// The plugin names of the files in `dataFolder` whose names end in ".qzp", letter case included, as Linux
// names files ("Foo.QZP" could never be found again as "Foo.qzp"). A name is cut before its first ".qzp".
// A file whose name would make an unusable plugin name (empty, a "|" that would split its records, a
// control character) is left out.
QStringList pluginNames(const QString& dataFolder);

// The names of the files in `characterFolder` ending in ".qzc" in any letter case (head look-ups ignore
// case), whole. Names with control characters are left out: no head can be loaded by such a name.
QStringList headFiles(const QString& characterFolder);

} // namespace qz::discovery
