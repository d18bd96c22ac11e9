// qz-artwork [--out ROOT] [--sheets FOLDER]
// Draws Quorzel's artwork from the SVG sources in art/ and writes it under ROOT (by default the
// repository it was built from), in the places the program and its build take it from. With --sheets it
// also writes contact sheets for looking at the result.

#include <QGuiApplication>

#include <cstdio>

#include "tools/artwork/ArtError.h"
#include "tools/artwork/Artwork.h"
#include "tools/artwork/ContactSheet.h"

int main(int argc, char** argv) {
    // Drawing needs no display; the offscreen platform gives the sheets their fonts wherever this runs.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QString root = QStringLiteral(QZ_SOURCE_ROOT);
    QString artDir = QStringLiteral(QZ_ART_DIR);
    QString sheets;
    const QStringList args = app.arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == "--out" && i + 1 < args.size()) {
            root = args[++i];
        } else if (args[i] == "--art" && i + 1 < args.size()) {
            artDir = args[++i];
        } else if (args[i] == "--sheets" && i + 1 < args.size()) {
            sheets = args[++i];
        } else {
            std::fprintf(stderr, "usage: qz-artwork [--out ROOT] [--art SOURCES] [--sheets FOLDER]\n");
            return 2;
        }
    }
    try {
        const auto files = qz::artwork::drawArtwork(artDir);
        qz::artwork::writeArtwork(files, root);
        if (!sheets.isEmpty()) qz::artwork::writeContactSheets(files, sheets);
        std::printf("qz-artwork: wrote %zu files under %s\n", files.size(), qPrintable(root));
    } catch (const qz::artwork::ArtError& error) {
        std::fprintf(stderr, "qz-artwork: %s\n", error.what());
        return 1;
    }
    return 0;
}
