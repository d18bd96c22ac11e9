#include "listview/ListGeometry.h"

#include <cmath>

namespace qz::listgeometry {

ScrollRange scrollRange(int rows) {
    if (rows < kVisibleRows + 1) return {0, false};
    return {rows - kVisibleRows, true};
}

double topForValue(int value) {
    return -double(value) * kRowHeight;
}

double draggedTop(double top0, double d, int rows) {
    if (rows < kVisibleRows + 1) return top0;
    const int highest = rows - 1;
    if (top0 + d > 0) return 0;
    const int lastViewTop = highest - (kVisibleRows - 1); // the row that heads the last eleven
    if (top0 + double(lastViewTop) * kRowHeight + d < 0) return -double(lastViewTop) * kRowHeight;
    return top0 + d;
}

int releasedValue(double top0) {
    const double rows = -top0 / kRowHeight;
    const double below = std::floor(rows);
    const double rest = rows - below;
    if (rest > 0.5) return int(below) + 1;
    if (rest < 0.5) return int(below);
    return std::fmod(below, 2.0) == 0 ? int(below) : int(below) + 1;
}

int firstRowInView(double top0) {
    if (top0 >= 0) return 0;
    return int(std::floor(-top0 / kRowHeight));
}

} // namespace qz::listgeometry
