#pragma once

#include <QString>

#include <vector>

#include "tools/artwork/Artwork.h"

namespace qz::artwork {

// Pictures for looking at the artwork, written into `folder` (nothing here is committed):
//   heads.png          every frame of every head at 1x
//   head-<Name>.png    the head's frames at 2x, nearest neighbour
//   halo-<Name>.png    frames 0, 1, 3, 9 and 12 cut out by frame 0's exactly white pixels, as the head
//                      window shows them, on white and on two desktop colours, at 1x and 2x, and frame 0
//                      on the dark desktop at 4x
//   icons.png          the list icons, the tray icon and the about picture at 1x, 2x and 4x
// Throws ArtError when a file cannot be written.
void writeContactSheets(const std::vector<ArtFile>& files, const QString& folder);

} // namespace qz::artwork
