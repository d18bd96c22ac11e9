#include "platform/window/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <cmath>

namespace qz {
namespace {

const QScreen* screenOf(const QWidget* widget) {
    return widget && widget->screen() ? widget->screen() : QGuiApplication::primaryScreen();
}

double dpiX(const QWidget* widget) {
    const QScreen* screen = screenOf(widget);
    return screen ? screen->logicalDotsPerInchX() : 96.0;
}

double dpiY(const QWidget* widget) {
    const QScreen* screen = screenOf(widget);
    return screen ? screen->logicalDotsPerInchY() : 96.0;
}

} // namespace

double twipsPerPixelX(const QWidget* widget) {
    return 1440.0 / dpiX(widget);
}

double twipsPerPixelY(const QWidget* widget) {
    return 1440.0 / dpiY(widget);
}

int twipsToPixels(int twips, const QWidget* widget) {
    return int(std::lround(twips * dpiX(widget) / 1440.0));
}

QRect twipsRect(int left, int top, int width, int height, const QWidget* widget) {
    return QRect(twipsToPixels(left, widget), twipsToPixels(top, widget), twipsToPixels(width, widget),
                 twipsToPixels(height, widget));
}

} // namespace qz
