#pragma once

#include <QByteArray>
#include <QImage>
#include <QRgb>

namespace qz::artwork {

// The command list's row backgrounds: a row as it normally looks, and the selected row.
inline constexpr QRgb kRowBackground = 0xffffffff;
inline constexpr QRgb kSelectedRowBackground = 0xffb2b4bf; // (178, 180, 191)

// A list icon strip from a 22 x 22 SVG source: frame 0 (the parts whose qz:frames name 0, and all
// unmarked parts) on the row background on the left, frame 1 on the selected row's background on the
// right, 44 x 22 in all. Bitmaps have no transparency, so each frame is antialiased against its own
// row's background. Throws ArtError for a source of another size.
QImage drawIconStrip(const QByteArray& source);

} // namespace qz::artwork
