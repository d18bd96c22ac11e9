#include "tools/artwork/Rendering.h"

#include <QColor>
#include <QPainter>
#include <QSvgRenderer>

#include "tools/artwork/ArtError.h"

namespace qz::artwork {

QImage renderSvg(const QByteArray& svg, QSize size) {
    QSvgRenderer renderer(svg);
    if (!renderer.isValid()) throw ArtError("the SVG does not parse");
    QImage picture(size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    renderer.render(&painter);
    return picture;
}

QSize svgSize(const QByteArray& svg) {
    QSvgRenderer renderer(svg);
    if (!renderer.isValid()) throw ArtError("the SVG does not parse");
    const QSize size = renderer.defaultSize();
    if (size.isEmpty()) throw ArtError("the SVG has no width and height");
    return size;
}

QImage overBackground(const QImage& picture, QRgb background) {
    QImage result(picture.size(), QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            // Premultiplied source over an opaque colour, in integers so that every run gives the same bytes.
            const int uncovered = 255 - qAlpha(in[x]);
            auto channel = [&](int premultiplied, int back) {
                return premultiplied + (uncovered * back + 127) / 255;
            };
            out[x] = qRgb(channel(qRed(in[x]), qRed(background)), channel(qGreen(in[x]), qGreen(background)),
                          channel(qBlue(in[x]), qBlue(background)));
        }
    }
    return result;
}

QRgb parseColour(const QString& text, const char* what) {
    const QColor colour = QColor::fromString(text);
    if (!text.startsWith('#') || text.size() != 7 || !colour.isValid())
        throw ArtError(std::string(what) + " must be a colour written #rrggbb, not \"" + text.toStdString() +
                       "\"");
    return colour.rgb();
}

} // namespace qz::artwork
