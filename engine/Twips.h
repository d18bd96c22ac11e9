#pragma once

#include <QRect>

class QWidget;

namespace qz {

// Window geometry is designed in twips (1/1440 inch); the screen's logical DPI turns it into pixels.
int twipsToPixels(int twips, const QWidget* widget = nullptr);
QRect twipsRect(int left, int top, int width, int height, const QWidget* widget = nullptr);

} // namespace qz
