#include "tools/artwork/ContactSheet.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>

#include "tools/artwork/ArtError.h"
#include "tools/artwork/HeadStrip.h"

namespace qz::artwork {

namespace {

constexpr int kGap = 8;
const QColor kSheet(200, 203, 210);
const QRgb kDesktops[] = {0xffffffff, 0xff2b303b, 0xff3a6ea5};

QImage decoded(const ArtFile& art) {
    QByteArray bytes = art.bytes;
    if (art.path.endsWith(".qzc")) bytes[0] = 'B';
    return QImage::fromData(bytes).convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage nearest(const QImage& picture, int scale) {
    return picture.scaled(picture.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

// Frame `frame` of the strip with the pixels where frame 0 is exactly white taken out.
QImage cutOut(const QImage& strip, int frame) {
    const int width = strip.width() / kHeadFrames;
    QImage shown(width, strip.height(), QImage::Format_ARGB32);
    for (int y = 0; y < strip.height(); ++y) {
        for (int x = 0; x < width; ++x) {
            const bool hole = strip.pixel(x, y) == 0xffffffff;
            shown.setPixel(x, y, hole ? 0 : strip.pixel(frame * width + x, y));
        }
    }
    return shown;
}

// Lays pictures out in rows: each inner list is one row.
QImage layOut(const std::vector<std::vector<QImage>>& rows) {
    int width = 0;
    int height = kGap;
    for (const auto& row : rows) {
        int rowWidth = kGap;
        int rowHeight = 0;
        for (const QImage& picture : row) {
            rowWidth += picture.width() + kGap;
            rowHeight = std::max(rowHeight, picture.height());
        }
        width = std::max(width, rowWidth);
        height += rowHeight + kGap;
    }
    QImage sheet(width, height, QImage::Format_RGB32);
    sheet.fill(kSheet);
    QPainter painter(&sheet);
    int y = kGap;
    for (const auto& row : rows) {
        int x = kGap;
        int rowHeight = 0;
        for (const QImage& picture : row) {
            painter.drawImage(x, y, picture);
            x += picture.width() + kGap;
            rowHeight = std::max(rowHeight, picture.height());
        }
        y += rowHeight + kGap;
    }
    return sheet;
}

QImage onDesktop(const QImage& cut, QRgb desktop) {
    QImage shown(cut.size(), QImage::Format_RGB32);
    shown.fill(desktop);
    QPainter(&shown).drawImage(0, 0, cut);
    return shown;
}

void save(const QImage& sheet, const QString& path) {
    if (!sheet.save(path)) throw ArtError("cannot write " + path.toStdString());
}

} // namespace

void writeContactSheets(const std::vector<ArtFile>& files, const QString& folder) {
    QDir().mkpath(folder);
    std::vector<std::vector<QImage>> heads;
    std::vector<std::vector<QImage>> icons(3);
    for (const ArtFile& art : files) {
        const QImage picture = decoded(art);
        if (!art.path.endsWith(".qzc")) {
            for (int i = 0; i < 3; ++i)
                icons[size_t(i)].push_back(nearest(picture, 1 << i));
            continue;
        }
        const QString name = QFileInfo(art.path).completeBaseName();
        const int width = picture.width() / kHeadFrames;
        std::vector<QImage> frames;
        std::vector<std::vector<QImage>> large(2);
        for (int frame = 0; frame < kHeadFrames; ++frame) {
            frames.push_back(picture.copy(frame * width, 0, width, picture.height()));
            large[size_t(frame / 7)].push_back(nearest(frames.back(), 2));
        }
        heads.push_back(frames);
        save(layOut(large), folder + "/head-" + name + ".png");

        std::vector<std::vector<QImage>> halo(1);
        for (QRgb desktop : kDesktops) {
            halo.emplace_back();
            for (int frame : {0, 1, 3, 9, 12}) {
                const QImage shown = onDesktop(cutOut(picture, frame), desktop);
                halo.front().push_back(shown);
                halo.back().push_back(nearest(shown, 2));
            }
        }
        halo.push_back({nearest(onDesktop(cutOut(picture, 0), kDesktops[1]), 4)});
        save(layOut(halo), folder + "/halo-" + name + ".png");
    }
    save(layOut(heads), folder + "/heads.png");
    save(layOut(icons), folder + "/icons.png");
}

} // namespace qz::artwork
