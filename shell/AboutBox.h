#pragma once

#include <QDialog>

namespace qz {

// The about box: picture, product name, version and credits on white. A click anywhere closes it, and it
// deletes itself on close, so the next "About" makes a fresh one.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

} // namespace qz
