#pragma once

// The head window `head`: the current head as a free-standing figure on the desktop. It has no frame, the
// caption "Character Head", stays above ordinary windows, has no taskbar button, and takes the outline of
// the rest frame: frame 0's exactly white pixels are holes. The left and middle buttons drag it; the right
// button asks for the "Options" menu.

#include "head/HeadMetrics.h"

#include <QImage>
#include <QRegion>
#include <QRgb>
#include <QWidget>

namespace qz {

class HeadPicture;
class WindowDrag;

class HeadWindow : public QWidget {
    Q_OBJECT
public:
    // `Form_Load`: on top, its top-left corner at the centre of the screen, not yet shown and of no size of
    // its own until the first head is loaded.
    explicit HeadWindow(QWidget* parent = nullptr);
    ~HeadWindow() override;

    // The window's own picture, which `MakeTransparent` reads and then clears.
    void setPicture(const QImage& picture) { picture_ = picture; }
    // The picture area, which holds the whole strip.
    HeadPicture* animation() const { return animation_; }

    // Sizes the window to one frame and shapes it from the window's own picture: the rectangle of the
    // scan width by the scan height, less every pixel of exactly `transparentColor` (red, green and blue;
    // 0xFFFFFF is white). Returns whether a shape was applied; without a picture nothing changes.
    bool MakeTransparent(QRgb transparentColor);

    // Shows frame k: the picture area moves to minus k frame widths. Before the first head every frame
    // is at 0.
    void showFrame(int frame);
    int shownFrame() const { return frame_; }

    const HeadMetrics& metrics() const { return metrics_; }
    // The outline applied by the last MakeTransparent, in the window's pixels.
    const QRegion& outline() const { return outline_; }

signals:
    // A right press: the "Options" menu is wanted at the pointer.
    void optionsRequested(const QPoint& globalPos);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QImage picture_;
    HeadPicture* animation_;
    WindowDrag* drag_;
    HeadMetrics metrics_;
    QRegion outline_;
    int frame_ = 0;
};

} // namespace qz
