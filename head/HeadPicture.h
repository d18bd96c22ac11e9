#pragma once

// The picture area `animation`: a child of the head window that holds the whole frame strip; the window,
// one frame wide, clips it. It takes no mouse input, so a press anywhere on the head reaches the window.

#include <QImage>
#include <QPixmap>
#include <QWidget>

namespace qz {

class HeadPicture : public QWidget {
public:
    explicit HeadPicture(QWidget* parent);

    // Takes the strip and its size.
    void setStrip(const QImage& strip);
    const QImage& strip() const { return strip_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage strip_;
    // The strip enlarged to the screen's device pixels without smoothing, so a scaled screen shows hard
    // edges that match the window's outline instead of a grey fringe; made again when the ratio changes.
    QPixmap devicePixels_;
};

} // namespace qz
