#include "listview/CommandList.h"

#include "listview/ListGeometry.h"
#include "platform/window/Twips.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include <cmath>

namespace qz {

using namespace listgeometry;

CommandList::CommandList(ProgramFolder folder, QWidget* parent) : QWidget(parent), icons_(std::move(folder)) {
    setObjectName(QStringLiteral("CommandList"));
    setFixedSize(twipsToPixels(kRowWidth + kScrollBarWidth, this), twipsToPixels(kViewportHeight, this));
    setFocusPolicy(Qt::StrongFocus);

    brainbox_ = new QWidget(this);
    brainbox_->setObjectName(QStringLiteral("brainbox"));
    brainbox_->setGeometry(twipsRect(0, 0, kRowWidth, kViewportHeight, this));
    brainbox_->setAutoFillBackground(true);
    QPalette white = brainbox_->palette();
    white.setColor(QPalette::Window, ListBar::kBackground);
    brainbox_->setPalette(white);

    scroll_ = new QScrollBar(Qt::Vertical, this);
    scroll_->setObjectName(QStringLiteral("VScroll1"));
    scroll_->setGeometry(twipsRect(kRowWidth, 0, kScrollBarWidth, kViewportHeight, this));
    scroll_->setRange(0, 0);
    scroll_->setSingleStep(1);
    scroll_->setPageStep(kVisibleRows);
    scroll_->setEnabled(false);
    scroll_->setFocusPolicy(Qt::NoFocus);
    connect(scroll_, &QScrollBar::valueChanged, this, &CommandList::VScroll1_Change);

    shown_.fill(-1);
    for (ListBar*& bar : bars_) {
        bar = new ListBar(brainbox_);
        bar->setFocusPolicy(Qt::ClickFocus);
        bar->setFocusProxy(this);
        bar->hide();
        connect(bar, &ListBar::pressed, this,
                [this, bar](QPointF pos, Qt::MouseButton) { onPressed(bar, pos); });
        connect(bar, &ListBar::moved, this,
                [this, bar](QPointF pos, Qt::MouseButtons buttons) { onMoved(bar, pos, buttons); });
        connect(bar, &ListBar::released, this, [this](QPointF) { onReleased(); });
        connect(bar, &ListBar::changeClicked, this, [this, bar] { emit changeRequested(bar->index()); });
        connect(bar, &ListBar::removeClicked, this, [this, bar] { emit deleteRequested(bar->index()); });
    }
    layOutRows();
}

CommandList::~CommandList() = default;

int CommandList::rowCount() const {
    return std::max(1, int(records_.size()));
}

double CommandList::rowTop(int i) const {
    return top0_ + double(i) * kRowHeight;
}

ListBar* CommandList::row(int i) const {
    if (i < 0 || i >= rowCount()) return nullptr;
    ListBar* bar = barFor(i);
    return shown_[size_t(i % int(bars_.size()))] == i && bar->isVisibleTo(brainbox_) ? bar : nullptr;
}

void CommandList::rebuild(const QStringList& records) {
    records_ = records; // shared, not copied
    icons_.forgetPluginIcons();
    // Rows 1 and up are new and unselected; row 0 stays as it was.
    if (selected_ != 0) selected_ = -1;
    if (pressedRow_ >= rowCount()) pressedRow_ = -1;
    shown_.fill(-1);
    const ScrollRange range = scrollRange(rowCount());
    // A maximum below the value lowers the value, and its change restacks the rows.
    scroll_->setMaximum(range.maximum);
    scroll_->setEnabled(range.enabled);
    // Rows left between two places by a short drag stay so, unless the shorter list no longer reaches
    // there: then no scroll or drag could bring them back, so they go to the scroll bar's place.
    if (top0_ < topForValue(range.maximum)) VScroll1_Change(scroll_->value());
    layOutRows();
}

void CommandList::subititle(const QString& text) {
    hypothesis_ = text;
    if (ListBar* bar = row(0)) bar->subititle(text);
}

void CommandList::endHypothesis() {
    if (!hypothesis_) return;
    hypothesis_.reset();
    if (ListBar* bar = row(0)) fill(*bar, 0);
}

void CommandList::select(int i) {
    if (i < 0 || i >= int(records_.size())) return;
    selected_ = i;
    for (size_t slot = 0; slot < bars_.size(); ++slot) {
        if (shown_[slot] < 0) continue;
        if (shown_[slot] == selected_)
            bars_[slot]->selectit();
        else
            bars_[slot]->unselectit();
    }
}

void CommandList::VScroll1_Change(int value) {
    top0_ = topForValue(value);
    layOutRows();
}

void CommandList::layOutRows() {
    const int rows = rowCount();
    const int first = std::min(firstRowInView(top0_), rows - 1);
    const double perTwip = 1.0 / twipsPerPixelY(this);
    const int width = twipsToPixels(kRowWidth, this);
    auto pixels = [perTwip](double twips) { return int(std::lround(twips * perTwip)); };
    std::array<bool, 12> used{};
    for (int k = first; k < rows && k < first + int(bars_.size()) && rowTop(k) < kViewportHeight; ++k) {
        const size_t slot = size_t(k % int(bars_.size()));
        ListBar* bar = bars_[slot];
        used[slot] = true;
        if (shown_[slot] != k) {
            fill(*bar, k);
            shown_[slot] = k;
        }
        const int top = pixels(rowTop(k));
        bar->setGeometry(0, top, width, pixels(rowTop(k + 1)) - top);
        bar->show();
    }
    for (size_t slot = 0; slot < bars_.size(); ++slot) {
        if (used[slot]) continue;
        // The row holding the pointer keeps it until the release: moved out of sight, not hidden.
        if (bars_[slot] == grabbing_)
            bars_[slot]->move(0, -2 * bars_[slot]->height());
        else
            bars_[slot]->hide();
    }
}

void CommandList::fill(ListBar& bar, int index) {
    RowContent content = records_.isEmpty() ? emptyRowContent() : rowContent(records_.at(index), index);
    if (index == 0 && hypothesis_) content.action = *hypothesis_;
    bar.showContent(index, content, icons_.strip(content.icon, content.plugin));
    if (index == selected_)
        bar.selectit();
    else
        bar.unselectit();
}

double CommandList::pointerTop(const ListBar* bar, QPointF pos) const {
    return bar->mapTo(brainbox_, pos).y() * twipsPerPixelY(this);
}

void CommandList::onPressed(ListBar* bar, QPointF pos) {
    const int index = bar->index();
    if (!records_.isEmpty()) select(index);
    pressedRow_ = index;
    grabbing_ = bar;
    downY_ = pointerTop(bar, pos) - rowTop(index);
}

void CommandList::onMoved(ListBar* bar, QPointF pos, Qt::MouseButtons buttons) {
    if (pressedRow_ < 0 || buttons != Qt::LeftButton || rowCount() < kVisibleRows + 1) return;
    // The rows follow the pointer: where it is now in the pressed row, against where it pressed.
    const double d = pointerTop(bar, pos) - rowTop(pressedRow_) - downY_;
    const double top = draggedTop(top0_, d, rowCount());
    if (top == top0_) return;
    top0_ = top;
    layOutRows();
}

void CommandList::onReleased() {
    pressedRow_ = -1;
    grabbing_ = nullptr;
    // Unchanged, the value signals nothing and the rows stay where the drag left them.
    scroll_->setValue(releasedValue(top0_));
    layOutRows();
}

void CommandList::scrollIntoView(int index) {
    int value = scroll_->value();
    if (rowTop(index) < 0)
        value = index;
    else if (rowTop(index + 1) > kViewportHeight)
        value = index - (kVisibleRows - 1);
    else if (std::fmod(top0_, kRowHeight) == 0)
        return;
    if (value == scroll_->value())
        VScroll1_Change(value);
    else
        scroll_->setValue(value);
}

void CommandList::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Row 0 reads its record again whenever it is shown again.
    hypothesis_.reset();
    if (shown_[0] == 0) shown_[0] = -1;
    layOutRows();
}

void CommandList::wheelEvent(QWheelEvent* event) {
    if (!scroll_->isEnabled()) return;
    QCoreApplication::sendEvent(scroll_, event);
}

void CommandList::keyPressEvent(QKeyEvent* event) {
    const int last = int(records_.size()) - 1;
    if (last < 0) return QWidget::keyPressEvent(event);
    const int from = selected_ < 0 ? 0 : selected_;
    int to = from;
    switch (event->key()) {
    case Qt::Key_Up:
        to = selected_ < 0 ? 0 : from - 1;
        break;
    case Qt::Key_Down:
        to = selected_ < 0 ? 0 : from + 1;
        break;
    case Qt::Key_PageUp:
        to = from - kVisibleRows;
        break;
    case Qt::Key_PageDown:
        to = from + kVisibleRows;
        break;
    case Qt::Key_Home:
        to = 0;
        break;
    case Qt::Key_End:
        to = last;
        break;
    default:
        return QWidget::keyPressEvent(event);
    }
    to = std::clamp(to, 0, last);
    select(to);
    scrollIntoView(to);
}

} // namespace qz
