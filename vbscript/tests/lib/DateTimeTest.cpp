#include "lib/DateTime.h"
#include "TestText.h"
#include "lib/LibError.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace vbscript::lib;
using vbscript::lib::test::errorOf;
using vbscript::lib::test::u16;
using vbscript::lib::test::utf8;

namespace {

// The date as CStr prints it: compares calendar and clock at once and reads well in a failure.
std::string shown(double date) {
    return utf8(formatDate(date));
}

} // namespace

TEST(DateTime, DateSerialOverflowsAndTwoDigitYears) {
    struct Case {
        double y, m, d;
        const char* expected;
    } cases[] = {
        {2000, 1, 1, "1/1/2000"},     {0, 2, 1, "2/1/2000"},        {29, 1, 1, "1/1/2029"},
        {30, 1, 1, "1/1/1930"},       {99, 2, 1, "2/1/1999"},       {100, 2, 1, "2/1/100"},
        {2000, 14, 2, "2/2/2001"},    {2000, 3, 0, "2/29/2000"},    {2000, 1, -1, "12/30/1999"},
        {2000, 0, 1, "12/1/1999"},    {2000, -13, 1, "11/1/1998"},  {1900, 2, 29, "3/1/1900"},
        {9999, 12, 31, "12/31/9999"}, {2000, 1, 366, "12/31/2000"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(shown(dateSerial(c.y, c.m, c.d)), c.expected) << c.y << "," << c.m << "," << c.d;
    EXPECT_EQ(dateSerial(1899, 12, 30), 0);
    EXPECT_EQ(dateSerial(2000, 1, 1), 36526);
    EXPECT_EQ(dateSerial(100, 1, 1), kMinDate);
    EXPECT_EQ(errorOf([] { dateSerial(10000, 1, 1); }), 5);
    EXPECT_EQ(errorOf([] { dateSerial(-10000, 1, 1); }), 5);
    EXPECT_EQ(errorOf([] { dateSerial(9999, 12, 32); }), 5);
    EXPECT_EQ(errorOf([] { dateSerial(1e300, 1, 1); }), 5);
}

TEST(DateTime, NegativeDatesCountTheirTimeForward) {
    // -1.25 is the day before 1899-12-30 at 06:00, not 18:00.
    DateParts p = splitDate(-1.25);
    EXPECT_EQ(p.year, 1899);
    EXPECT_EQ(p.month, 12);
    EXPECT_EQ(p.day, 29);
    EXPECT_EQ(p.hour, 6);
    EXPECT_EQ(shown(-0.25), "6:00:00 AM"); // day 0, time 0.25
    EXPECT_NEAR(timeSerial(-1, 0, 0), -1 - 23.0 / 24, 1e-9);
    EXPECT_EQ(shown(timeSerial(-1, 0, 0)), "12/29/1899 11:00:00 PM");
    EXPECT_EQ(shown(timeSerial(25, 0, 0)), "12/31/1899 1:00:00 AM");
    EXPECT_EQ(shown(timeSerial(14, 30, 45)), "2:30:45 PM");
    EXPECT_EQ(shown(timeSerial(0, 0, -1)), "12/29/1899 11:59:59 PM");
    // Parts are rounded to the second, carrying into the next day.
    EXPECT_EQ(shown(36526 + (86399.6 / 86400)), "1/2/2000");
    auto back = makeDate(DateParts{1850, 6, 15, 18, 0, 0});
    ASSERT_TRUE(back);
    EXPECT_NEAR(*back, dateSerial(1850, 6, 15) - 0.75, 1e-9);
    EXPECT_FALSE(makeDate(DateParts{2001, 2, 29, 0, 0, 0}));
}

TEST(DateTime, WeekdaysAndNames) {
    double saturday = dateSerial(2000, 1, 1);
    EXPECT_EQ(weekday(saturday), 7);
    EXPECT_EQ(weekday(saturday, 0), 7); // system: Sunday
    EXPECT_EQ(weekday(saturday, 2), 6);
    EXPECT_EQ(weekday(saturday, 7), 1);
    EXPECT_EQ(weekday(-1), 6);       // 1899-12-29 was a Friday
    EXPECT_EQ(weekday(kMinDate), 6); // 100-01-01 (proleptic Gregorian) was a Friday
    EXPECT_EQ(utf8(weekdayName(1)), "Sunday");
    EXPECT_EQ(utf8(weekdayName(1, true, 2)), "Mon");
    EXPECT_EQ(utf8(weekdayName(1, true, 7)), "Sat");
    EXPECT_EQ(utf8(weekdayName(7, false, 2)), "Sunday");
    EXPECT_EQ(utf8(monthName(12, true)), "Dec");
    EXPECT_EQ(utf8(monthName(9)), "September");
    EXPECT_EQ(errorOf([] { weekday(0, 8); }), 5);
    EXPECT_EQ(errorOf([] { weekday(0, -1); }), 5);
    EXPECT_EQ(errorOf([] { weekdayName(0); }), 5);
    EXPECT_EQ(errorOf([] { monthName(13); }), 5);
}

TEST(DateTime, DateAdd) {
    struct Case {
        const char* interval;
        double number;
        double date;
        const char* expected;
    } cases[] = {
        {"m", 1, dateSerial(2000, 1, 31), "2/29/2000"}, // clamps to the month's end
        {"yyyy", 1, dateSerial(2000, 2, 29), "2/28/2001"},
        {"YYYY", -1, dateSerial(2000, 1, 1), "1/1/1999"},
        {"q", 1, dateSerial(2000, 11, 30), "2/28/2001"},
        {"m", -13, dateSerial(2000, 1, 15), "12/15/1998"},
        {"y", 1, dateSerial(2000, 12, 31), "1/1/2001"},
        {"d", -1, dateSerial(2000, 1, 1), "12/31/1999"},
        {"w", 1, dateSerial(2000, 12, 31), "1/1/2001"},
        {"ww", -1, dateSerial(2000, 1, 1), "12/25/1999"},
        {"h", 25, dateSerial(2000, 1, 1), "1/2/2000 1:00:00 AM"},
        {"n", -1, 0, "12/29/1899 11:59:00 PM"},
        {"s", 1, dateSerial(1899, 12, 29) + 0.5, "12:00:01 PM"}, // -0.5 is 12-30 noon, date 0
        {"d", 1, -1.25, "6:00:00 AM"},
        {"d", 1.5, dateSerial(2000, 1, 1), "1/3/2000"}, // the count is rounded to even
    };
    for (const auto& c : cases)
        EXPECT_EQ(shown(dateAdd(u16(c.interval), c.number, c.date)), c.expected)
            << c.interval << " " << c.number;
    EXPECT_EQ(errorOf([] { dateAdd(u"k", 1, 0); }), 5);
    EXPECT_EQ(errorOf([] { dateAdd(u"yyyy", 1, dateSerial(9999, 6, 1)); }), 5);
    EXPECT_EQ(errorOf([] { dateAdd(u"d", -1, kMinDate); }), 5);
}

TEST(DateTime, DateDiff) {
    double jan1 = dateSerial(2000, 1, 1); // a Saturday
    struct Case {
        const char* interval;
        double a, b;
        int firstDay;
        std::int64_t expected;
    } cases[] = {
        {"yyyy", dateSerial(2000, 12, 31), dateSerial(2001, 1, 1), 1, 1},
        {"q", dateSerial(2000, 3, 31), dateSerial(2000, 4, 1), 1, 1},
        {"q", dateSerial(2000, 1, 15), dateSerial(2001, 12, 15), 1, 7},
        {"m", dateSerial(2000, 1, 31), dateSerial(2000, 2, 1), 1, 1},
        {"m", dateSerial(2000, 2, 1), dateSerial(2000, 1, 31), 1, -1},
        {"d", jan1 + 0.25, jan1 + 1, 1, 1},
        {"d", jan1, jan1 + 0.99, 1, 0},
        {"d", jan1, dateSerial(1800, 1, 1), 1, -73048},
        {"w", jan1, jan1 + 13, 1, 1},
        {"w", jan1 + 13, jan1, 1, -1},
        {"ww", jan1, jan1 + 2, 1, 1}, // Saturday to Monday crosses a Sunday
        {"ww", jan1, jan1 + 2, 7, 0}, // ...but no Saturday
        {"ww", dateSerial(1899, 12, 27), dateSerial(1900, 1, 3), 1, 1},
        {"h", jan1 + 0.5 / 24, jan1 + 1.0 / 24, 1, 1},
        {"h", -0.25, 0, 1, -6}, // -0.25 is 1899-12-30 06:00
        {"n", -1 + (86370.0 / 86400), 30.0 / 86400, 1, 0},
        {"s", jan1, jan1 + 1, 1, 86400},
    };
    for (const auto& c : cases)
        EXPECT_EQ(dateDiff(u16(c.interval), c.a, c.b, c.firstDay), c.expected)
            << c.interval << " " << c.a << " " << c.b;
    EXPECT_EQ(errorOf([] { dateDiff(u"x", 0, 0); }), 5);
    EXPECT_EQ(errorOf([] { dateDiff(u"d", 0, 0, 9); }), 5);
}

TEST(DateTime, DatePartWeeksOfTheYear) {
    double date = dateSerial(2000, 3, 15) + timeSerial(14, 30, 45);
    struct Case {
        const char* interval;
        int expected;
    } cases[] = {{"yyyy", 2000}, {"q", 1},   {"m", 3},  {"y", 75}, {"d", 15},
                 {"w", 4},       {"ww", 12}, {"h", 14}, {"n", 30}, {"s", 45}};
    for (const auto& c : cases)
        EXPECT_EQ(datePart(u16(c.interval), date), c.expected) << c.interval;

    double jan1 = dateSerial(2000, 1, 1); // Saturday: a week of one day
    EXPECT_EQ(datePart(u"ww", jan1, 1, 1), 1);
    EXPECT_EQ(datePart(u"ww", jan1, 1, 2), 52); // belongs to 1999's last week
    EXPECT_EQ(datePart(u"ww", jan1, 1, 3), 52);
    EXPECT_EQ(datePart(u"ww", dateSerial(2000, 1, 2), 1, 3), 1);
    EXPECT_EQ(datePart(u"ww", dateSerial(2000, 12, 31), 1, 1), 54);
    EXPECT_EQ(datePart(u"ww", dateSerial(2004, 1, 1), 2, 2), 1); // Thursday: four days in 2004
    EXPECT_EQ(datePart(u"y", dateSerial(2000, 12, 31)), 366);
    EXPECT_EQ(datePart(u"w", jan1, 2), 6);
    EXPECT_EQ(errorOf([] { datePart(u"ww", 0, 1, 4); }), 5);
    EXPECT_EQ(errorOf([] { datePart(u"w", 0, 8); }), 5);
}

TEST(DateTime, ParsesWhatCDateAccepts) {
    struct Case {
        const char* text;
        const char* expected;
    } cases[] = {
        {"1/2/2003", "1/2/2003"},
        {" 1/2/2003 ", "1/2/2003"},
        {"1-2-2003", "1/2/2003"},
        {"2003-01-02", "1/2/2003"},
        {"2003/1/2", "1/2/2003"},
        {"13/1/2003", "1/13/2003"}, // a month past 12 means the day came first
        {"1/2/03", "1/2/2003"},
        {"1/2/45", "1/2/1945"},
        {"January 2, 2003", "1/2/2003"},
        {"jan 2 2003", "1/2/2003"},
        {"2 January 2003", "1/2/2003"},
        {"2-Jan-2003", "1/2/2003"},
        {"Thursday, January 2, 2003", "1/2/2003"},
        {"January 2003", "1/1/2003"},
        {"10:20:30 PM", "10:20:30 PM"},
        {"10:20:30 pm", "10:20:30 PM"},
        {"10:20", "10:20:00 AM"},
        {"12:05 AM", "12:05:00 AM"},
        {"12:05 PM", "12:05:00 PM"},
        {"3 PM", "3:00:00 PM"},
        {"10:20:30.75", "10:20:30 AM"},
        {"1/2/2003 10:20", "1/2/2003 10:20:00 AM"},
        {"10:20 PM 1/2/2003", "1/2/2003 10:20:00 PM"},
        {"2003-01-02 14:30:00", "1/2/2003 2:30:00 PM"},
        {"12/31/9999 23:59:59", "12/31/9999 11:59:59 PM"},
        {"1/1/100", "1/1/100"},
    };
    for (const auto& c : cases) {
        auto date = parseDate(u16(c.text));
        ASSERT_TRUE(date) << c.text;
        EXPECT_EQ(shown(*date), c.expected) << c.text;
    }
    const char* rejected[] = {"",
                              "  ",
                              "4",
                              "x",
                              "1.5",
                              "1.2.2003",
                              "15.03.2026",
                              "2/30/2003",
                              "13/13/2003",
                              "0/1/2003",
                              "25:00",
                              "10:60",
                              "10:20:30:40",
                              "1/2/2003 x",
                              "January",
                              "1/2/3/4",
                              "13 PM",
                              "1/1/99999",
                              "January 2 March",
                              "10:20 10:30",
                              "$1/2/2003"};
    for (const char* text : rejected)
        EXPECT_FALSE(parseDate(u16(text))) << text;

    EXPECT_EQ(dateValueOf(u"2026-03-30 14:30:00"), dateSerial(2026, 3, 30));
    EXPECT_NEAR(timeValueOf(u"2026-03-30 14:30:00"), 14.5 / 24, 1e-9);
    EXPECT_EQ(dateValueOf(u"14:30"), 0);
    EXPECT_EQ(errorOf([] { dateValueOf(u"not a date"); }), 13);
    EXPECT_EQ(errorOf([] { timeValueOf(u""); }), 13);
}

TEST(DateTime, Formats) {
    double date = dateSerial(2003, 1, 2) + timeSerial(22, 20, 30);
    EXPECT_EQ(shown(0), "12:00:00 AM");
    EXPECT_EQ(shown(date), "1/2/2003 10:20:30 PM");
    EXPECT_EQ(shown(0.5), "12:00:00 PM");
    EXPECT_EQ(shown(-657434), "1/1/100");
    const char* expected[] = {"1/2/2003 10:20:30 PM", "Thursday, January 2, 2003", "1/2/2003", "10:20:30 PM",
                              "22:20"};
    for (int format = 0; format <= 4; ++format)
        EXPECT_EQ(utf8(formatDateTime(date, format)), expected[format]) << format;
    EXPECT_EQ(utf8(formatDateTime(timeSerial(9, 5, 0), 4)), "09:05");
    EXPECT_EQ(errorOf([] { formatDateTime(0, 5); }), 5);
}

TEST(DateTime, NowIsToday) {
    double today = now();
    EXPECT_TRUE(isValidDate(today));
    EXPECT_GT(today, dateSerial(2020, 1, 1));
    double seconds = timer();
    EXPECT_GE(seconds, 0);
    EXPECT_LT(seconds, 86400);
}
