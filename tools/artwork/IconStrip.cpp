#include "tools/artwork/IconStrip.h"

#include <QPainter>

#include "tools/artwork/ArtError.h"
#include "tools/artwork/ArtMarkup.h"
#include "tools/artwork/Rendering.h"

namespace qz::artwork {

QImage drawIconStrip(const QByteArray& source) {
    constexpr int side = 22;
    if (svgSize(source) != QSize(side, side)) throw ArtError("a list icon is drawn 22 x 22");
    QImage strip(2 * side, side, QImage::Format_RGB32);
    QPainter painter(&strip);
    const QRgb backgrounds[2] = {kRowBackground, kSelectedRowBackground};
    for (int frame = 0; frame < 2; ++frame) {
        const QImage drawn = renderSvg(svgForFrame(source, frame), QSize(side, side));
        painter.drawImage(frame * side, 0, overBackground(drawn, backgrounds[frame]));
    }
    return strip;
}

} // namespace qz::artwork
