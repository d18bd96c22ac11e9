#pragma once

// VBScript dates: a double counting days since 1899-12-30, whose fraction is the time of day. For dates
// before that day the time is still counted forward from midnight: -1.25 is 1899-12-29 06:00.
// Every function here works in en-US, with Sunday as the system's first day of the week. Invalid
// arguments throw LibError{5}; results outside 100-01-01 .. 9999-12-31 throw LibError{5} unless noted.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vbscript::lib {

using DateValue = double;

inline constexpr double kMinDate = -657434.0;         // 100-01-01
inline constexpr double kMaxDate = 2958465.999994213; // 9999-12-31 23:59:59

struct DateParts {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0;
};

// DateSerial: month and day overflow into the next/previous month and year (month 13, day 0, day -1...);
// years 0-29 mean 2000-2029 and 30-99 mean 1930-1999. Out of range throws LibError{5}.
DateValue dateSerial(double year, double month, double day);
// TimeSerial: hour/minute/second overflow into each other and into days (as a time of day before 0 or past
// 24h).
DateValue timeSerial(double hour, double minute, double second);
// Builds a date from parts without any overflow or two-digit-year rule; nullopt when a part is out of range.
std::optional<DateValue> makeDate(const DateParts& parts);
// Splits a date into calendar parts, rounding to the nearest second as VBScript does.
DateParts splitDate(DateValue date);
// The date part (time of day removed) and the time part (0 <= result < 1) of a date.
DateValue datePartOnly(DateValue date);
DateValue timePartOnly(DateValue date);
// True when the value lies within VBScript's date range.
bool isValidDate(double value);

// firstDayOfWeek: 0 = system (Sunday), 1 = Sunday ... 7 = Saturday; anything else throws LibError{5}.
// firstWeekOfYear: 0 = system (Jan 1), 1 = week of Jan 1, 2 = first week of four days, 3 = first full week.
int weekday(DateValue date, int firstDayOfWeek = 1);                                      // 1..7
std::u16string weekdayName(int weekday, bool abbreviate = false, int firstDayOfWeek = 1); // "Sunday" / "Sun"
std::u16string monthName(int month, bool abbreviate = false);                             // "January" / "Jan"

// Intervals are "yyyy" "q" "m" "y" "d" "w" "ww" "h" "n" "s", case-insensitive; others throw LibError{5}.
DateValue dateAdd(std::u16string_view interval, double number, DateValue date);
std::int64_t dateDiff(std::u16string_view interval, DateValue date1, DateValue date2, int firstDayOfWeek = 1,
                      int firstWeekOfYear = 1);
int datePart(std::u16string_view interval, DateValue date, int firstDayOfWeek = 1, int firstWeekOfYear = 1);

// Parses what CDate/IsDate accept from a string ("1/2/2003", "January 2, 2003", "2 Jan 2003", "2003-01-02",
// "10:20:30 PM", "10:20", "1/2/2003 10:20"); nullopt when it is not a date. A time alone gives a value in
// [0,1). A lone number ("4") is not a date: CDate converts numeric strings as numbers before calling this.
std::optional<DateValue> parseDate(std::u16string_view text);
// DateValue / TimeValue of a string: the date part or the time part of parseDate; throws LibError{13}.
DateValue dateValueOf(std::u16string_view text);
DateValue timeValueOf(std::u16string_view text);

// CStr of a Date: "1/2/2003", "10:20:30 PM", "1/2/2003 10:20:30 AM"; date 0 prints the time only and a
// whole date prints the date only.
std::u16string formatDate(DateValue date);
// FormatDateTime: 0 general (as formatDate), 1 long date ("Thursday, January 2, 2003"), 2 short date
// ("1/2/2003"), 3 long time ("10:20:30 PM"), 4 short time ("22:20"); other formats throw LibError{5}.
std::u16string formatDateTime(DateValue date, int namedFormat = 0);

// Current local date and time (Now), and seconds since midnight with hundredths (Timer).
DateValue now();
double timer();

} // namespace vbscript::lib
