#pragma once

// A one-line label that never grows with its text: a text too long for the label's width ends in an
// ellipsis and shows whole as its tooltip, and text() still returns it whole.

#include <QLabel>

namespace qz {

class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(const QString& text = {}, QWidget* parent = nullptr);

    // The text as the label paints it.
    QString shownText() const;
    bool isElided() const { return shownText() != text(); }

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
};

} // namespace qz
