#pragma once

#include <QIcon>

namespace qz {

// `ikon`: the program's picture, for the tray and the main window.
QIcon programIcon();

} // namespace qz
