// The list's arithmetic: the scroll range's thresholds, the three cases of a drag step and the release's
// rounding, also where 16-bit arithmetic would have overflowed.

#include "listview/ListGeometry.h"

#include <gtest/gtest.h>

namespace qz::listgeometry {
namespace {

TEST(ScrollRangeTest, NothingToScrollUpToElevenRows) {
    struct Case {
        int rows, maximum;
        bool enabled;
    };
    for (const Case c :
         {Case{1, 0, false}, {11, 0, false}, {12, 1, true}, {40, 29, true}, {100000, 99989, true}}) {
        SCOPED_TRACE(c.rows);
        const ScrollRange range = scrollRange(c.rows);
        EXPECT_EQ(range.maximum, c.maximum);
        EXPECT_EQ(range.enabled, c.enabled);
    }
}

TEST(DragStepTest, FollowsThePointerBetweenTheTwoStops) {
    struct Case {
        const char* name;
        int rows;
        double top0, d, expected;
    };
    const Case cases[] = {
        {"a list that fits does not move", 11, 0, -300, 0},
        {"down from the top stays at the top", 12, 0, 200, 0},
        {"down past the top stops with row 0 at the top", 40, -300, 450, 0},
        {"up follows the pointer", 12, 0, -300, -300},
        {"up past the end stops with row 1 at the top of twelve", 12, 0, -600, -495},
        {"up past the end stops with the last eleven in view", 40, -14000, -1000, -14355},
        {"exactly at the end stays", 40, -14355, 0, -14355},
        {"fractional twips of a scaled screen", 40, -100, -7.5, -107.5},
        {"a hundred thousand rows, far past 16 bits", 100000, -40000000, -250, -40000250},
        {"a hundred thousand rows at their end", 100000, -49494000, -1000, -49494555},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_DOUBLE_EQ(draggedTop(c.top0, c.d, c.rows), c.expected);
    }
}

TEST(ReleaseTest, RoundsToTheNearestRowWithHalvesToEven) {
    struct Case {
        double top0;
        int value;
    };
    const Case cases[] = {{0, 0},      {-247, 0},          {-248, 1},           {-247.5, 0},
                          {-742.5, 2}, {-1237.5, 2},       {-1732.5, 4},        {-14355, 29},
                          {-495, 1},   {-49494555, 99989}, {-49494307.5, 99988}};
    for (const Case c : cases) {
        SCOPED_TRACE(c.top0);
        EXPECT_EQ(releasedValue(c.top0), c.value);
    }
}

TEST(ScrollValueTest, PlacesRowZeroWithoutOverflow) {
    EXPECT_DOUBLE_EQ(topForValue(0), 0);
    EXPECT_DOUBLE_EQ(topForValue(66), -32670);
    EXPECT_DOUBLE_EQ(topForValue(67), -33165); // past what a signed 16-bit number holds
    EXPECT_DOUBLE_EQ(topForValue(99989), -49494555);
    EXPECT_EQ(firstRowInView(0), 0);
    EXPECT_EQ(firstRowInView(-494), 0);
    EXPECT_EQ(firstRowInView(-495), 1);
    EXPECT_EQ(firstRowInView(-49494555), 99989);
}

} // namespace
} // namespace qz::listgeometry
