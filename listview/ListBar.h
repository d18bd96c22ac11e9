#pragma once

// `listbar`: one row of the command list, 5100 x 495 twips. An icon window `Picture1` showing one frame
// of the strip `iconia`, the phrase `command`, the second line `action`, and the image buttons `changer`
// and `remove`, shown only while the row is selected. The row shows whatever record the list gives it;
// presses, moves and releases on it go to the list, which scrolls and selects.

#include "listview/RowContent.h"

#include <QImage>
#include <QWidget>

class QToolButton;

namespace qz {

class ElidedLabel;

// The strip inside the icon window, drawn pixel for pixel (enlarged without smoothing on a scaled
// screen, so the artwork stays sharp).
class IconStrip : public QWidget {
    Q_OBJECT
public:
    explicit IconStrip(QWidget* parent);
    void setStrip(const QImage& strip);
    const QImage& strip() const { return strip_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage strip_;
};

class ListBar : public QWidget {
    Q_OBJECT
public:
    static const QColor kBackground;
    static const QColor kSelectedBackground;
    static const QColor kActionColour;

    explicit ListBar(QWidget* parent);

    // The showing rules' result for the record at `index`.
    void showContent(int index, const RowContent& content, const QImage& strip);
    int index() const { return index_; }

    void selectit();
    void unselectit();
    bool isSelected() const { return selected_; }
    // The second line's text.
    void subititle(const QString& title);

    QWidget* Picture1() const { return picture_; }
    IconStrip* iconia() const { return iconia_; }
    ElidedLabel* command() const { return command_; }
    ElidedLabel* action() const { return action_; }
    QToolButton* changer() const { return changer_; }
    QToolButton* remove() const { return remove_; }
    QColor background() const;

signals:
    void changeClicked();
    void removeClicked();
    // The pointer on the row, in the row's own pixels.
    void pressed(QPointF pos, Qt::MouseButton button);
    void moved(QPointF pos, Qt::MouseButtons buttons);
    void released(QPointF pos);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void setBackground(const QColor& colour);
    void setActionColour(const QColor& colour);
    void updateToolTip();

    QWidget* picture_;
    IconStrip* iconia_;
    ElidedLabel* command_;
    ElidedLabel* action_;
    QToolButton* changer_;
    QToolButton* remove_;
    int index_ = 0;
    bool selected_ = false;
};

} // namespace qz
