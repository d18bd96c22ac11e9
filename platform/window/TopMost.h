#pragma once

class QWidget;

namespace qz {

// `FormOnTop`: keeps the window above every window that is not itself kept on top. Position and size are
// left to the caller; a window that was shown stays shown.
void FormOnTop(QWidget& window);

} // namespace qz
