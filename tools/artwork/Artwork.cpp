#include "tools/artwork/Artwork.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QSaveFile>
#include <QSvgRenderer>

#include "tools/artwork/ArtError.h"
#include "tools/artwork/ArtMarkup.h"
#include "tools/artwork/Bitmap.h"
#include "tools/artwork/HeadStrip.h"
#include "tools/artwork/IconStrip.h"
#include "tools/artwork/Rendering.h"

namespace qz::artwork {

namespace {

QByteArray readSource(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) throw ArtError("cannot read " + path.toStdString());
    return file.readAll();
}

// Runs `draw` on the source, putting the source's name in front of any complaint.
template <typename Draw> QByteArray drawFrom(const QString& path, Draw draw) {
    try {
        return draw(readSource(path));
    } catch (const ArtError& error) {
        throw ArtError(path.toStdString() + ": " + error.what());
    }
}

QStringList sourcesIn(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("*.svg")}, QDir::Files, QDir::Name);
}

QImage drawScene(const QByteArray& source, const QString& artDir) {
    const QSize size = svgSize(source);
    QImage scene = renderSvg(svgForFrame(source, 0), size);
    QPainter painter(&scene);
    for (const HeadPlacement& placement : headPlacements(source)) {
        const QByteArray head = readSource(artDir + "/heads/" + placement.head + ".svg");
        QSvgRenderer renderer(svgForFrame(head, 0));
        if (!renderer.isValid()) throw ArtError("head " + placement.head.toStdString() + " does not parse");
        renderer.render(&painter, placement.box);
    }
    painter.end();
    return overBackground(scene, 0xffffffff);
}

} // namespace

std::vector<ArtFile> drawArtwork(const QString& artDir) {
    std::vector<ArtFile> files;
    for (const QString& name : sourcesIn(artDir + "/heads")) {
        files.push_back({"content/character/" + QFileInfo(name).completeBaseName() + ".qzc",
                         drawFrom(artDir + "/heads/" + name, [](const QByteArray& source) {
                             return characterFile(drawHeadStrip(source), headVoice(source));
                         })});
    }
    const auto iconFolders = {std::pair{QStringLiteral("plugin-icons"), QStringLiteral("content/data/")},
                              std::pair{QStringLiteral("list-icons"), QStringLiteral("listview/resources/")}};
    for (const auto& [folder, destination] : iconFolders) {
        for (const QString& name : sourcesIn(artDir + "/" + folder)) {
            files.push_back({destination + QFileInfo(name).completeBaseName() + ".bmp",
                             drawFrom(artDir + "/" + folder + "/" + name, [](const QByteArray& source) {
                                 return bitmapFile(drawIconStrip(source));
                             })});
        }
    }
    files.push_back({QStringLiteral("shell/resources/quorzel.png"),
                     drawFrom(artDir + "/tray.svg", [](const QByteArray& source) {
                         const QImage icon = renderSvg(svgForFrame(source, 0), svgSize(source));
                         return pngFile(icon.convertToFormat(QImage::Format_ARGB32));
                     })});
    files.push_back({QStringLiteral("shell/resources/about.png"),
                     drawFrom(artDir + "/about.svg",
                              [&](const QByteArray& source) { return pngFile(drawScene(source, artDir)); })});
    return files;
}

void writeArtwork(const std::vector<ArtFile>& files, const QString& root) {
    for (const ArtFile& art : files) {
        const QString path = root + "/" + art.path;
        QDir().mkpath(QFileInfo(path).absolutePath());
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(art.bytes) != art.bytes.size() || !file.commit())
            throw ArtError("cannot write " + path.toStdString() + ": " + file.errorString().toStdString());
    }
}

} // namespace qz::artwork
