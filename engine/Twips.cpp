#include "engine/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace qz {

int twipsToPixels(int twips, const QWidget* widget) {
    const QScreen* screen = widget && widget->screen() ? widget->screen() : QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    return int(std::lround(twips * dpi / 1440.0));
}

QRect twipsRect(int left, int top, int width, int height, const QWidget* widget) {
    return QRect(twipsToPixels(left, widget), twipsToPixels(top, widget), twipsToPixels(width, widget),
                 twipsToPixels(height, widget));
}

} // namespace qz
