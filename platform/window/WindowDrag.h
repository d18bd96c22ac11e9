#pragma once

// `StartDrag`: a mouse press on a window hands the window to the window manager, which moves it with the
// pointer until the button is released. Where the window system offers no such move, the window follows
// the pointer itself until then. The window stays where it is dropped.

#include <QObject>
#include <QPoint>
#include <QPointer>

class QWidget;

namespace qz {

class WindowDrag : public QObject {
public:
    // Watches `window`'s mouse events for the drag that follows the pointer.
    explicit WindowDrag(QWidget& window);

    // Called from the window's mouse press, with the pointer's global position.
    void StartDrag(const QPoint& globalPos);
    // True while the window follows the pointer itself.
    bool isFollowing() const { return following_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> window_;
    QPoint grabOffset_; // pointer position minus the window's, at the press
    bool following_ = false;
};

} // namespace qz
