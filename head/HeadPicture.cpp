#include "head/HeadPicture.h"

#include <QPaintEvent>
#include <QPainter>

#include <cmath>

namespace qz {

HeadPicture::HeadPicture(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("animation"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent); // every visible pixel is painted from the strip
}

void HeadPicture::setStrip(const QImage& strip) {
    strip_ = strip;
    devicePixels_ = QPixmap();
    resize(strip.size());
    update();
}

void HeadPicture::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (strip_.isNull()) {
        painter.fillRect(event->rect(), Qt::white);
        return;
    }
    const qreal ratio = devicePixelRatioF();
    if (devicePixels_.isNull() || devicePixels_.devicePixelRatio() != ratio) {
        const QSize device(int(std::lround(strip_.width() * ratio)),
                           int(std::lround(strip_.height() * ratio)));
        devicePixels_ = QPixmap::fromImage(
            ratio == 1 ? strip_ : strip_.scaled(device, Qt::IgnoreAspectRatio, Qt::FastTransformation));
        devicePixels_.setDevicePixelRatio(ratio);
    }
    painter.drawPixmap(QPointF(0, 0), devicePixels_);
}

} // namespace qz
