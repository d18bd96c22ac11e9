#pragma once

// The rows' icon strips: two 22 x 22 frames side by side, the normal one left, the selected one right.
// The built-in strips are compiled in; a plugin's icon is read from the program folder once and kept.

#include "listview/RowContent.h"
#include "store/ProgramFolder.h"

#include <QHash>
#include <QImage>
#include <QString>

namespace qz {

class RowIcons {
public:
    static constexpr int kStripWidth = 44;
    static constexpr int kStripHeight = 22;

    explicit RowIcons(ProgramFolder folder);

    // The strip for a row's icon; the default picture where a plugin has no usable icon.
    const QImage& strip(RowContent::Icon icon, const QString& plugin);
    // Reads plugin icons again when they are next needed (they may have changed on disk).
    void forgetPluginIcons();

    // A plugin icon file as a 44 x 22 strip: a larger strip of the same shape is scaled down; a missing
    // file, one that is not a bitmap or one of another size gives a null image.
    static QImage readPluginIcon(const QString& path);

private:
    ProgramFolder folder_;
    QImage ear_, deaf_, dissa_, scriptia_, default_;
    QHash<QString, QImage> plugins_;
};

} // namespace qz
