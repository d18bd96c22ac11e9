#pragma once

// The list's arithmetic in twips, apart from any widget: the scroll range, the scroll bar's placing of the
// rows, drag scrolling and its release. Row i lies at top(row 0) + i x kRowHeight. Plain int and double
// arithmetic: lists of any length scroll without overflow.

namespace qz::listgeometry {

inline constexpr int kRowHeight = 495;
inline constexpr int kRowWidth = 5100;
inline constexpr int kVisibleRows = 11;
inline constexpr int kViewportHeight = kRowHeight * kVisibleRows; // 5445
inline constexpr int kScrollBarWidth = 270;
// Rows that can be seen at once: eleven, and one more while the list stands between two rows.
inline constexpr int kRowsInView = kVisibleRows + 1;

struct ScrollRange {
    int maximum = 0;
    bool enabled = false;
};

// The scroll bar for `rows` rows (element 0 included): nothing to scroll below 12 rows.
ScrollRange scrollRange(int rows);

// The top of row 0 for scroll value `value`.
double topForValue(int value);

// One drag step: the top of row 0 after the pointer moved `d` twips from where it pressed, with `rows`
// rows. Lists that fit the viewport do not move; the list stops with row 0 at the top and with the last
// eleven rows filling the viewport.
double draggedTop(double top0, double d, int rows);

// The scroll value a release leaves: -top0 / kRowHeight rounded to the nearest row, halves to the even one.
int releasedValue(double top0);

// The first row that can be seen with row 0 at `top0`.
int firstRowInView(double top0);

} // namespace qz::listgeometry
