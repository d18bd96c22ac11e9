#pragma once

// The outline of a window shaped from a picture: every pixel that is exactly the transparent colour is a
// hole through which the desktop shows.

#include <QImage>
#include <QRegion>
#include <QRgb>
#include <QSize>

namespace qz {

// The rectangle (0, 0, scan.width() x scan.height()) less each pixel of `picture` inside it whose red,
// green and blue equal those of `transparent` exactly (alpha is not compared). Parts of the rectangle that
// lie beyond the picture stay in the region. Built from runs of pixels, one band per row, so a large
// picture costs one pass over its pixels; the result is the region that removing the pixels one by one
// would give.
QRegion opaqueRegion(const QImage& picture, QSize scan, QRgb transparent);

} // namespace qz
