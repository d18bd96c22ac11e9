#pragma once

// Window geometry is designed in twips (1/1440 inch); the logical DPI of the widget's screen (the primary
// screen without a widget) turns it into pixels.

#include <QRect>

class QWidget;

namespace qz {

// 1440 / DPI: 15 at 96 DPI, 7.5 at 192 DPI.
double twipsPerPixelX(const QWidget* widget = nullptr);
double twipsPerPixelY(const QWidget* widget = nullptr);

// Rounded to the nearest pixel.
int twipsToPixels(int twips, const QWidget* widget = nullptr);
QRect twipsRect(int left, int top, int width, int height, const QWidget* widget = nullptr);

} // namespace qz
