#pragma once

#include <QByteArray>
#include <QImage>

namespace qz::artwork {

inline constexpr int kHeadFrames = 14;

// The frame strip of a head drawn from its SVG source: 14 frames of the SVG's own size side by side,
// frame k drawn from the parts whose qz:frames name k (frames 5 to 7, never shown, repeat the rest pose).
//
// A head window cuts out exactly the white pixels of frame 0, so the strip is drawn for that: the
// figure's outline is the rest pose's coverage taken at one half, everything outside it is exactly
// white, and the antialiased pixels along it are laid over the head's outline colour (the root's
// qz:outline) instead of white, so no pale fringe can show against the desktop. Inside the figure,
// antialiasing stays as drawn; an exactly white pixel there becomes (254, 254, 254), as it would be a hole.
//
// Throws ArtError when a frame's outline is not the rest pose's: every frame is shown through it.
QImage drawHeadStrip(const QByteArray& source);

// The root's qz:voice, 0 to 255. Throws ArtError when it is missing or out of range.
quint8 headVoice(const QByteArray& source);

} // namespace qz::artwork
