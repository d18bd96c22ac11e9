#include "listview/RowIcons.h"

#include <QFileInfo>
#include <QImageReader>

namespace qz {
namespace {

QImage builtIn(const char* name) {
    QImage image(QStringLiteral(":/quorzel/listview/%1.bmp").arg(QLatin1String(name)));
    return image.convertToFormat(QImage::Format_RGB32);
}

// A plugin name that names a file in data/ and nothing outside it.
bool isPlainFileName(const QString& name) {
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && name != u"." && name != u"..";
}

} // namespace

RowIcons::RowIcons(ProgramFolder folder)
    : folder_(std::move(folder)), ear_(builtIn("ear")), deaf_(builtIn("deaf")), dissa_(builtIn("dissa")),
      scriptia_(builtIn("scriptia")), default_(builtIn("default")) {}

const QImage& RowIcons::strip(RowContent::Icon icon, const QString& plugin) {
    switch (icon) {
    case RowContent::Icon::Ear:
        return ear_;
    case RowContent::Icon::Deaf:
        return deaf_;
    case RowContent::Icon::Dissa:
        return dissa_;
    case RowContent::Icon::Scriptia:
        return scriptia_;
    case RowContent::Icon::Default:
        return default_;
    case RowContent::Icon::Plugin:
        break;
    }
    auto found = plugins_.find(plugin);
    if (found == plugins_.end()) {
        QImage image;
        if (isPlainFileName(plugin)) image = readPluginIcon(folder_.pluginIcon(plugin));
        found = plugins_.insert(plugin, image);
    }
    return found->isNull() ? default_ : *found;
}

void RowIcons::forgetPluginIcons() {
    plugins_.clear();
}

QImage RowIcons::readPluginIcon(const QString& path) {
    if (!QFileInfo(path).isFile()) return {};
    // Only a Windows bitmap is a plugin icon, whatever another format the file may hold.
    QImageReader reader(path, "bmp");
    reader.setAutoDetectImageFormat(false);
    const QSize size = reader.size();
    // A strip twice as wide as high, from 44 x 22 up to a size worth decoding.
    if (!size.isValid() || size.width() != 2 * size.height() || size.width() < kStripWidth ||
        size.width() > 4096)
        return {};
    QImage image = reader.read();
    if (image.isNull() || image.size() != size) return {};
    image = image.convertToFormat(QImage::Format_RGB32);
    if (image.width() == kStripWidth) return image;
    // Each frame on its own, so that neither bleeds into the other at their border.
    QImage strip(kStripWidth, kStripHeight, QImage::Format_RGB32);
    const int frame = image.height();
    for (int k = 0; k < 2; ++k) {
        const QImage small =
            image.copy(k * frame, 0, frame, frame)
                .scaled(kStripHeight, kStripHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        for (int y = 0; y < kStripHeight; ++y)
            for (int x = 0; x < kStripHeight; ++x)
                strip.setPixel(k * kStripHeight + x, y, small.pixel(x, y));
    }
    return strip;
}

} // namespace qz
