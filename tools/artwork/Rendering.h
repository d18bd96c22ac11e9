#pragma once

#include <QByteArray>
#include <QImage>
#include <QRgb>

namespace qz::artwork {

// The SVG drawn, antialiased, on a transparent picture of `size` pixels (premultiplied ARGB). The SVG's
// view box fills the picture. Throws ArtError when the SVG does not parse.
QImage renderSvg(const QByteArray& svg, QSize size);

// The SVG's own size in pixels, from its width and height. Throws ArtError when it has none.
QSize svgSize(const QByteArray& svg);

// `picture` (premultiplied ARGB) laid over an opaque `background`: an RGB32 picture.
QImage overBackground(const QImage& picture, QRgb background);

// Colour as "#rrggbb" parsed; throws ArtError naming `what` otherwise.
QRgb parseColour(const QString& text, const char* what);

} // namespace qz::artwork
