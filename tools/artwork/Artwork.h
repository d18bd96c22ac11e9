#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

namespace qz::artwork {

// One generated file: its path relative to the repository's root and its bytes.
struct ArtFile {
    QString path;
    QByteArray bytes;
};

// Every file drawn from the sources in `artDir` (the folder art/ beside the generator):
//   heads/<Name>.svg         -> content/character/<Name>.qzc   (frame strip, voice byte from qz:voice)
//   plugin-icons/<name>.svg  -> content/data/<name>.bmp        (44 x 22 list icon of a shipped plugin)
//   list-icons/<name>.svg    -> listview/resources/<name>.bmp  (the command list's own icon strips)
//   tray.svg                 -> shell/resources/quorzel.png    (tray and window icon, with transparency)
//   about.svg                -> shell/resources/about.png      (the about box's picture, with heads)
// in a fixed order. Throws ArtError, naming the source, for anything it cannot draw.
std::vector<ArtFile> drawArtwork(const QString& artDir);

// Writes the files under `root`, making folders as needed. Throws ArtError naming a file it cannot write.
void writeArtwork(const std::vector<ArtFile>& files, const QString& root);

} // namespace qz::artwork
