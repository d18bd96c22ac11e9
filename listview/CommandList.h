#pragma once

// The command list of the main window: the viewport `brainbox` (eleven rows of 495 twips) with the scroll
// bar `VScroll1` at its right. Rows are virtual: the list keeps only the row controls that can be seen and
// gives each the record its place asks for, row i lying at top(row 0) + i x 495 twips, so showing,
// refreshing and scrolling cost the same for ten records as for a hundred thousand. A row's Change and
// Delete buttons come out as signals carrying the record's index.

#include "listview/ListBar.h"
#include "listview/RowIcons.h"
#include "platform/ports/CommandView.h"
#include "store/ProgramFolder.h"

#include <QStringList>
#include <QWidget>

#include <array>
#include <optional>

class QScrollBar;

namespace qz {

class CommandList : public QWidget, public CommandView {
    Q_OBJECT
public:
    explicit CommandList(ProgramFolder folder, QWidget* parent = nullptr);
    ~CommandList() override;

    // CommandView
    void rebuild(const QStringList& records) override;
    void subititle(const QString& text) override;
    void endHypothesis() override;
    QWidget* widget() override { return this; }

    // The number of rows: one per record, at least one.
    int rowCount() const;
    // The top of row i in twips (row 0's top moves into negative values as the list scrolls).
    double rowTop(int i) const;
    // The row control showing record i, or null while row i cannot be seen.
    ListBar* row(int i) const;
    // The selected record, or -1.
    int selected() const { return selected_; }
    // Selects record i as a click on its row does: every row unselected, then this one selected.
    void select(int i);

    QWidget* brainbox() const { return brainbox_; }
    QScrollBar* VScroll1() const { return scroll_; }

signals:
    void changeRequested(int index);
    void deleteRequested(int index);

protected:
    void showEvent(QShowEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // `VScroll1_Change`: row 0 to -value x 495, the others stacked below it.
    void VScroll1_Change(int value);
    // Places the row controls for the rows in view and fills those that now show another record.
    void layOutRows();
    void fill(ListBar& bar, int index);
    ListBar* barFor(int index) const { return bars_[size_t(index % int(bars_.size()))]; }
    double pointerTop(const ListBar* bar, QPointF pos) const; // the pointer's height in brainbox, twips
    void onPressed(ListBar* bar, QPointF pos);
    void onMoved(ListBar* bar, QPointF pos, Qt::MouseButtons buttons);
    void onReleased();
    void scrollIntoView(int index);

    RowIcons icons_;
    QStringList records_;
    QWidget* brainbox_;
    QScrollBar* scroll_;
    std::array<ListBar*, 12> bars_{};
    std::array<int, 12> shown_{}; // the record each row control shows, -1 for none
    double top0_ = 0;             // the top of row 0, twips
    int selected_ = -1;
    std::optional<QString> hypothesis_; // row 0's second line while the recogniser guesses
    int pressedRow_ = -1;               // the row the pointer pressed, while a button is held
    double downY_ = 0;                  // `downY`: where it pressed, twips in that row's own coordinates
    ListBar* grabbing_ = nullptr;       // the row control that has the pointer until the release
};

} // namespace qz
