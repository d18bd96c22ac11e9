#pragma once

// The pictures of a row's change and delete buttons, drawn as vectors at whatever size and pixel ratio the
// button asks for, so they stay sharp on every screen.

#include <QIcon>

namespace qz {

QIcon changeGlyph(); // a pencil
QIcon removeGlyph(); // a cross

} // namespace qz
