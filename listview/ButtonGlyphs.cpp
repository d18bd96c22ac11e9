#include "listview/ButtonGlyphs.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace qz {
namespace {

// Paints a glyph given in a 14 x 14 box into any rectangle.
class GlyphEngine : public QIconEngine {
public:
    using Draw = std::function<void(QPainter&, QIcon::Mode)>;
    explicit GlyphEngine(Draw draw) : draw_(std::move(draw)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.topLeft());
        painter->scale(rect.width() / 14.0, rect.height() / 14.0);
        draw_(*painter, mode);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
        QPixmap pixmap(size * scale);
        pixmap.setDevicePixelRatio(scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }

    QIconEngine* clone() const override { return new GlyphEngine(draw_); }

private:
    Draw draw_;
};

QColor ink(QIcon::Mode mode, QColor normal) {
    return mode == QIcon::Disabled ? QColor(150, 150, 150) : normal;
}

} // namespace

QIcon changeGlyph() {
    return QIcon(new GlyphEngine([](QPainter& p, QIcon::Mode mode) {
        // A pencil from the bottom left to the top right: body, wooden tip and lead.
        p.translate(7, 7);
        p.rotate(-45);
        const QColor body = ink(mode, QColor(46, 94, 170));
        p.setPen(QPen(ink(mode, QColor(30, 40, 60)), 0.9));
        p.setBrush(body);
        p.drawRect(QRectF(-3.2, -1.9, 8.2, 3.8));
        p.setBrush(ink(mode, QColor(236, 200, 150)));
        QPainterPath tip;
        tip.moveTo(-3.2, -1.9);
        tip.lineTo(-6.6, 0);
        tip.lineTo(-3.2, 1.9);
        tip.closeSubpath();
        p.drawPath(tip);
        p.setBrush(ink(mode, QColor(30, 40, 60)));
        p.setPen(Qt::NoPen);
        QPainterPath lead;
        lead.moveTo(-5.3, -0.75);
        lead.lineTo(-6.6, 0);
        lead.lineTo(-5.3, 0.75);
        lead.closeSubpath();
        p.drawPath(lead);
    }));
}

QIcon removeGlyph() {
    return QIcon(new GlyphEngine([](QPainter& p, QIcon::Mode mode) {
        p.setPen(QPen(ink(mode, QColor(196, 40, 40)), 2.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3.2, 3.2), QPointF(10.8, 10.8));
        p.drawLine(QPointF(10.8, 3.2), QPointF(3.2, 10.8));
    }));
}

} // namespace qz
