#include "platform/window/WindowShape.h"

#include <QList>
#include <QRect>

#include <algorithm>

namespace qz {

QRegion opaqueRegion(const QImage& picture, QSize scan, QRgb transparent) {
    const int width = scan.width();
    const int height = scan.height();
    if (width <= 0 || height <= 0) return {};
    const QImage pixels = picture.convertToFormat(QImage::Format_RGB32);
    const QRgb key = transparent & RGB_MASK;
    const int readable = std::min(width, pixels.width());
    // QRegion's own form: bands sorted top to bottom, runs left to right and never touching, and a band
    // grown downwards while the next row has the same runs. Built that way, the region compares equal to
    // one made pixel by pixel.
    QList<QRect> runs;
    QList<QRect> row;
    qsizetype bandStart = 0;
    for (int y = 0; y < height; ++y) {
        row.clear();
        if (y >= pixels.height()) {
            row.append(QRect(0, y, width, 1));
        } else {
            const QRgb* line = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
            int x = 0;
            while (x < width) {
                const int start = x;
                while (x < readable && (line[x] & RGB_MASK) == key)
                    ++x;
                if (x > start) continue; // a hole
                while (x < width && (x >= readable || (line[x] & RGB_MASK) != key))
                    ++x;
                row.append(QRect(start, y, x - start, 1));
            }
        }
        const qsizetype bandSize = runs.size() - bandStart;
        bool same = bandSize > 0 && bandSize == row.size() && runs.last().bottom() == y - 1;
        for (qsizetype i = 0; same && i < row.size(); ++i)
            same = runs.at(bandStart + i).left() == row.at(i).left() &&
                   runs.at(bandStart + i).right() == row.at(i).right();
        if (same) {
            for (qsizetype i = bandStart; i < runs.size(); ++i)
                runs[i].setBottom(y);
        } else if (!row.isEmpty()) {
            bandStart = runs.size();
            runs.append(row);
        }
    }
    QRegion region;
    region.setRects(runs.constData(), int(runs.size()));
    return region;
}

} // namespace qz
