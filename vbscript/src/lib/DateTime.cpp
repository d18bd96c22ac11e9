#include "lib/DateTime.h"

#include "lib/CharCase.h"
#include "lib/LibError.h"
#include "lib/NumberFormat.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <vector>

namespace vbscript::lib {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
constexpr std::int64_t kDaysFrom1970 = 25569; // 1899-12-30 is day -25569 of the Unix calendar
constexpr std::int64_t kMinDay = -657434;     // 100-01-01
constexpr std::int64_t kMaxDay = 2958465;     // 9999-12-31

const char16_t* const kMonthNames[] = {u"January",   u"February", u"March",    u"April",
                                       u"May",       u"June",     u"July",     u"August",
                                       u"September", u"October",  u"November", u"December"};
const char16_t* const kDayNames[] = {u"Sunday",   u"Monday", u"Tuesday", u"Wednesday",
                                     u"Thursday", u"Friday", u"Saturday"};

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

// Proleptic Gregorian calendar <-> serial day (0 = 1899-12-30).
std::int64_t serialDay(std::int64_t y, int m, int d) {
    y -= m <= 2;
    std::int64_t era = floorDiv(y, 400);
    std::int64_t yoe = y - era * 400;
    std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468 + kDaysFrom1970;
}

void civilFromSerial(std::int64_t serial, int& y, int& m, int& d) {
    std::int64_t z = serial - kDaysFrom1970 + 719468;
    std::int64_t era = floorDiv(z, 146097);
    std::int64_t doe = z - era * 146097;
    std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    std::int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

bool isLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : days[m - 1];
}

// A date on a straight time line: days + time of day, also for dates before 1899-12-30.
double toLinear(double date) {
    double day = std::trunc(date);
    return day + std::fabs(date - day);
}

std::int64_t linearSeconds(double date) {
    return std::llround(toLinear(date) * kSecondsPerDay);
}

double fromSeconds(std::int64_t seconds) {
    std::int64_t day = floorDiv(seconds, kSecondsPerDay);
    double time = static_cast<double>(seconds - day * kSecondsPerDay) / kSecondsPerDay;
    return day >= 0 ? day + time : day - time;
}

double checkedDate(double date) {
    if (!isValidDate(date)) throw LibError{5};
    return date;
}

// Arguments that pass through as whole numbers; huge values can only give an invalid date.
std::int64_t wholeArgument(double value) {
    if (!std::isfinite(value) || std::fabs(value) > 1e12) throw LibError{5};
    return static_cast<std::int64_t>(roundHalfEven(value));
}

int checkFirstDay(int firstDayOfWeek) {
    if (firstDayOfWeek < 0 || firstDayOfWeek > 7) throw LibError{5};
    return firstDayOfWeek == 0 ? 1 : firstDayOfWeek;
}

int checkFirstWeek(int firstWeekOfYear) {
    if (firstWeekOfYear < 0 || firstWeekOfYear > 3) throw LibError{5};
    return firstWeekOfYear == 0 ? 1 : firstWeekOfYear;
}

// Day of the week of a serial day, 1 = Sunday.
int sundayWeekday(std::int64_t day) {
    return static_cast<int>(((day % 7) + 7 + 6) % 7) + 1;
}

int weekdayFrom(std::int64_t day, int firstDay) {
    return (sundayWeekday(day) - firstDay + 7) % 7 + 1;
}

std::int64_t weekOneStart(int year, int firstDay, int firstWeek) {
    std::int64_t jan1 = serialDay(year, 1, 1);
    int offset = weekdayFrom(jan1, firstDay) - 1; // days of the week before Jan 1
    switch (firstWeek) {
    case 2:
        return 7 - offset >= 4 ? jan1 - offset : jan1 - offset + 7;
    case 3:
        return offset == 0 ? jan1 : jan1 - offset + 7;
    default:
        return jan1 - offset;
    }
}

int weekOfYear(std::int64_t day, int firstDay, int firstWeek) {
    int y, m, d;
    civilFromSerial(day, y, m, d);
    std::int64_t start = weekOneStart(y, firstDay, firstWeek);
    if (day < start) start = weekOneStart(y - 1, firstDay, firstWeek);
    return static_cast<int>((day - start) / 7) + 1;
}

enum class Interval { Year, Quarter, Month, DayOfYear, Day, Weekday, Week, Hour, Minute, Second };

Interval parseInterval(std::u16string_view text) {
    std::u16string lower = toLower(text);
    if (lower == u"yyyy") return Interval::Year;
    if (lower == u"q") return Interval::Quarter;
    if (lower == u"m") return Interval::Month;
    if (lower == u"y") return Interval::DayOfYear;
    if (lower == u"d") return Interval::Day;
    if (lower == u"w") return Interval::Weekday;
    if (lower == u"ww") return Interval::Week;
    if (lower == u"h") return Interval::Hour;
    if (lower == u"n") return Interval::Minute;
    if (lower == u"s") return Interval::Second;
    throw LibError{5};
}

DateValue addMonths(DateValue date, std::int64_t months) {
    DateParts p = splitDate(date);
    std::int64_t total = static_cast<std::int64_t>(p.year) * 12 + (p.month - 1) + months;
    std::int64_t year = floorDiv(total, 12);
    if (year < 100 || year > 9999) throw LibError{5};
    p.year = static_cast<int>(year);
    p.month = static_cast<int>(total - year * 12) + 1;
    p.day = std::min(p.day, daysInMonth(p.year, p.month));
    return *makeDate(p);
}

std::u16string number(std::int64_t value) {
    std::string text = std::to_string(value);
    return std::u16string(text.begin(), text.end());
}

std::u16string twoDigits(int value) {
    std::u16string text;
    text += static_cast<char16_t>(u'0' + value / 10);
    text += static_cast<char16_t>(u'0' + value % 10);
    return text;
}

std::u16string shortDate(const DateParts& p) {
    return number(p.month) + u"/" + number(p.day) + u"/" + number(p.year);
}

std::u16string longTime(const DateParts& p) {
    int hour12 = p.hour % 12 == 0 ? 12 : p.hour % 12;
    return number(hour12) + u":" + twoDigits(p.minute) + u":" + twoDigits(p.second) +
           (p.hour < 12 ? u" AM" : u" PM");
}

// ---- Parsing ----

struct Token {
    enum Kind { Number, Word, Separator };
    explicit Token(Kind k, std::u16string t = {}) : kind(k), text(std::move(t)) {}
    Kind kind;
    std::int64_t value = 0; // Number
    int digits = 0;         // Number
    std::u16string text;    // Word (lower case) or Separator
};

bool isLetter(char16_t c) {
    return toLower(c) != toUpper(c);
}

std::optional<std::vector<Token>> tokenize(std::u16string_view text) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < text.size()) {
        char16_t c = text[i];
        if (c >= u'0' && c <= u'9') {
            Token t(Token::Number);
            while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
                if (t.digits < 10) t.value = t.value * 10 + (text[i] - u'0');
                ++t.digits;
                ++i;
            }
            tokens.push_back(t);
        } else if (isLetter(c)) {
            Token t(Token::Word);
            while (i < text.size() && isLetter(text[i]))
                t.text += toLower(text[i++]);
            tokens.push_back(t);
        } else if (c == u' ' || c == u'\t') {
            ++i;
            if (tokens.empty() || tokens.back().kind != Token::Separator)
                tokens.emplace_back(Token::Separator, u" ");
        } else if (c == u'/' || c == u'-' || c == u'.' || c == u',' || c == u':') {
            ++i;
            // A spelled separator replaces the blank before it: "2 , 2003" reads as "2,2003".
            if (!tokens.empty() && tokens.back().kind == Token::Separator && tokens.back().text == u" ")
                tokens.pop_back();
            tokens.emplace_back(Token::Separator, std::u16string(1, c));
        } else {
            return std::nullopt;
        }
    }
    return tokens;
}

int monthFromWord(const std::u16string& word) {
    for (int m = 0; m < 12; ++m) {
        std::u16string name = toLower(kMonthNames[m]);
        if (word == name || (word.size() >= 3 && name.compare(0, word.size(), word) == 0)) return m + 1;
    }
    return 0;
}

bool isDayWord(const std::u16string& word) {
    for (const char16_t* name : kDayNames) {
        std::u16string lower = toLower(name);
        if (word == lower || (word.size() >= 3 && lower.compare(0, word.size(), word) == 0)) return true;
    }
    return false;
}

int fullYear(const Token& t) {
    if (t.digits <= 2) return static_cast<int>(t.value < 30 ? 2000 + t.value : 1900 + t.value);
    return static_cast<int>(t.value);
}

int currentYear() {
    DateParts p = splitDate(now());
    return p.year;
}

// Pulls "h:mm[:ss[.fff]] [AM|PM]" or "h AM|PM" out of the tokens; false when a time is malformed or
// there are two.
bool takeTime(std::vector<Token>& tokens, std::optional<std::int64_t>& seconds) {
    std::size_t i = 0;
    while (i < tokens.size()) {
        if (tokens[i].kind != Token::Number) {
            ++i;
            continue;
        }
        std::size_t end = i + 1;
        std::int64_t parts[3] = {tokens[i].value, 0, 0};
        int count = 1;
        while (count < 3 && end + 1 < tokens.size() && tokens[end].kind == Token::Separator &&
               tokens[end].text == u":" && tokens[end + 1].kind == Token::Number) {
            parts[count++] = tokens[end + 1].value;
            end += 2;
        }
        if (count > 1 && end < tokens.size() && tokens[end].text == u":") return false; // "1:2:3:4" or "10:"
        // Fractions of a second are accepted and dropped.
        if (count == 3 && end + 1 < tokens.size() && tokens[end].text == u"." &&
            tokens[end + 1].kind == Token::Number)
            end += 2;
        std::size_t markerAt = end;
        if (markerAt < tokens.size() && tokens[markerAt].kind == Token::Separator &&
            tokens[markerAt].text == u" ")
            ++markerAt;
        int meridiem = 0; // 1 AM, 2 PM
        if (markerAt < tokens.size() && tokens[markerAt].kind == Token::Word) {
            const auto& w = tokens[markerAt].text;
            if (w == u"am" || w == u"a") meridiem = 1;
            if (w == u"pm" || w == u"p") meridiem = 2;
        }
        if (count == 1 && meridiem == 0) { // a plain number belongs to the date
            ++i;
            continue;
        }
        if (seconds) return false;
        if (parts[0] > 23 || parts[1] > 59 || parts[2] > 59) return false;
        std::int64_t hour = parts[0];
        if (meridiem != 0) {
            if (hour > 12) return false;
            if (hour == 12) hour = 0;
            if (meridiem == 2) hour += 12;
            end = markerAt + 1;
        }
        seconds = hour * 3600 + parts[1] * 60 + parts[2];
        tokens.erase(tokens.begin() + static_cast<std::ptrdiff_t>(i),
                     tokens.begin() + static_cast<std::ptrdiff_t>(end));
    }
    return true;
}

std::optional<std::int64_t> takeDate(const std::vector<Token>& tokens, bool& any) {
    std::vector<Token> numbers;
    int month = 0;
    for (const auto& t : tokens) {
        if (t.kind == Token::Number) {
            numbers.push_back(t);
        } else if (t.kind == Token::Word) {
            int m = monthFromWord(t.text);
            if (m != 0) {
                if (month != 0) return std::nullopt;
                month = m;
            } else if (!isDayWord(t.text)) {
                return std::nullopt;
            }
        }
    }
    any = month != 0 || !numbers.empty();
    if (!any) return std::nullopt;
    // en-US dates never use dots: "1.5" is a number and "15.03.2026" a German date, neither a date here.
    for (const auto& t : tokens)
        if (t.kind == Token::Separator && t.text == u".") return std::nullopt;

    int year = 0, day = 0;
    if (month != 0) {
        if (numbers.empty() || numbers.size() > 2) return std::nullopt;
        if (numbers.size() == 1) {
            // "January 2" or "January 2003"
            if (numbers[0].digits >= 3 || numbers[0].value > 31) {
                year = fullYear(numbers[0]);
                day = 1;
            } else {
                year = currentYear();
                day = static_cast<int>(numbers[0].value);
            }
        } else if (numbers[0].digits >= 3 || numbers[0].value > 31) {
            year = fullYear(numbers[0]); // "2003 January 2"
            day = static_cast<int>(numbers[1].value);
        } else {
            day = static_cast<int>(numbers[0].value);
            year = fullYear(numbers[1]);
        }
    } else if (numbers.size() == 3) {
        if (numbers[0].digits >= 3 || numbers[0].value > 31) { // y-m-d
            year = fullYear(numbers[0]);
            month = static_cast<int>(numbers[1].value);
            day = static_cast<int>(numbers[2].value);
        } else { // m/d/y, or d/m/y when the month cannot be one
            month = static_cast<int>(numbers[0].value);
            day = static_cast<int>(numbers[1].value);
            year = fullYear(numbers[2]);
            if (month > 12 && day <= 12) std::swap(month, day);
        }
    } else if (numbers.size() == 2) {
        if (numbers[0].digits >= 3 || numbers[0].value > 31) { // "2003/1"
            year = fullYear(numbers[0]);
            month = static_cast<int>(numbers[1].value);
            day = 1;
        } else if (numbers[1].digits >= 3 || numbers[1].value > 31) { // "1/2003"
            month = static_cast<int>(numbers[0].value);
            year = fullYear(numbers[1]);
            day = 1;
        } else { // "1/2" of this year
            month = static_cast<int>(numbers[0].value);
            day = static_cast<int>(numbers[1].value);
            year = currentYear();
            if (month > 12 && day <= 12) std::swap(month, day);
        }
    } else {
        return std::nullopt;
    }
    if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month))
        return std::nullopt;
    return serialDay(year, month, day);
}

} // namespace

bool isValidDate(double value) {
    return std::isfinite(value) && value >= kMinDay && value < kMaxDay + 1;
}

DateValue dateSerial(double year, double month, double day) {
    std::int64_t y = wholeArgument(year), m = wholeArgument(month), d = wholeArgument(day);
    if (y >= 0 && y <= 29)
        y += 2000;
    else if (y >= 30 && y <= 99)
        y += 1900;
    std::int64_t total = y * 12 + (m - 1);
    std::int64_t fullYear = floorDiv(total, 12);
    if (fullYear < -100000 || fullYear > 100000) throw LibError{5};
    int monthOfYear = static_cast<int>(total - fullYear * 12) + 1;
    std::int64_t serial = serialDay(fullYear, monthOfYear, 1) + (d - 1);
    if (serial < kMinDay || serial > kMaxDay) throw LibError{5};
    return static_cast<double>(serial);
}

DateValue timeSerial(double hour, double minute, double second) {
    std::int64_t total = wholeArgument(hour) * 3600 + wholeArgument(minute) * 60 + wholeArgument(second);
    return checkedDate(fromSeconds(total));
}

std::optional<DateValue> makeDate(const DateParts& p) {
    if (p.year < 100 || p.year > 9999 || p.month < 1 || p.month > 12 || p.day < 1 ||
        p.day > daysInMonth(p.year, p.month) || p.hour < 0 || p.hour > 23 || p.minute < 0 || p.minute > 59 ||
        p.second < 0 || p.second > 59)
        return std::nullopt;
    return fromSeconds(serialDay(p.year, p.month, p.day) * kSecondsPerDay + p.hour * 3600 + p.minute * 60 +
                       p.second);
}

DateParts splitDate(DateValue date) {
    if (!std::isfinite(date) || std::fabs(date) > 1e9) throw LibError{5};
    std::int64_t seconds = linearSeconds(date);
    std::int64_t day = floorDiv(seconds, kSecondsPerDay);
    std::int64_t rest = seconds - day * kSecondsPerDay;
    DateParts p;
    civilFromSerial(day, p.year, p.month, p.day);
    p.hour = static_cast<int>(rest / 3600);
    p.minute = static_cast<int>(rest / 60 % 60);
    p.second = static_cast<int>(rest % 60);
    return p;
}

DateValue datePartOnly(DateValue date) {
    return std::trunc(date);
}

DateValue timePartOnly(DateValue date) {
    return std::fabs(date - std::trunc(date));
}

int weekday(DateValue date, int firstDayOfWeek) {
    int firstDay = checkFirstDay(firstDayOfWeek);
    return weekdayFrom(floorDiv(linearSeconds(date), kSecondsPerDay), firstDay);
}

std::u16string weekdayName(int weekday, bool abbreviate, int firstDayOfWeek) {
    int firstDay = checkFirstDay(firstDayOfWeek);
    if (weekday < 1 || weekday > 7) throw LibError{5};
    std::u16string name = kDayNames[(weekday - 1 + firstDay - 1) % 7];
    return abbreviate ? name.substr(0, 3) : name;
}

std::u16string monthName(int month, bool abbreviate) {
    if (month < 1 || month > 12) throw LibError{5};
    std::u16string name = kMonthNames[month - 1];
    return abbreviate ? name.substr(0, 3) : name;
}

DateValue dateAdd(std::u16string_view interval, double number, DateValue date) {
    Interval kind = parseInterval(interval);
    checkedDate(date);
    std::int64_t n = wholeArgument(number);
    switch (kind) {
    case Interval::Year:
        return addMonths(date, n * 12);
    case Interval::Quarter:
        return addMonths(date, n * 3);
    case Interval::Month:
        return addMonths(date, n);
    case Interval::DayOfYear:
    case Interval::Day:
    case Interval::Weekday:
        return checkedDate(fromSeconds(linearSeconds(date) + n * kSecondsPerDay));
    case Interval::Week:
        return checkedDate(fromSeconds(linearSeconds(date) + n * 7 * kSecondsPerDay));
    case Interval::Hour:
        return checkedDate(fromSeconds(linearSeconds(date) + n * 3600));
    case Interval::Minute:
        return checkedDate(fromSeconds(linearSeconds(date) + n * 60));
    case Interval::Second:
        return checkedDate(fromSeconds(linearSeconds(date) + n));
    }
    throw LibError{5};
}

std::int64_t dateDiff(std::u16string_view interval, DateValue date1, DateValue date2, int firstDayOfWeek,
                      int firstWeekOfYear) {
    Interval kind = parseInterval(interval);
    int firstDay = checkFirstDay(firstDayOfWeek);
    checkFirstWeek(firstWeekOfYear);
    DateParts a = splitDate(date1), b = splitDate(date2);
    std::int64_t s1 = linearSeconds(date1), s2 = linearSeconds(date2);
    std::int64_t d1 = floorDiv(s1, kSecondsPerDay), d2 = floorDiv(s2, kSecondsPerDay);
    switch (kind) {
    case Interval::Year:
        return b.year - a.year;
    case Interval::Quarter:
        return (b.year * 4 + (b.month - 1) / 3) - (a.year * 4 + (a.month - 1) / 3);
    case Interval::Month:
        return (b.year * 12 + b.month) - (a.year * 12 + a.month);
    case Interval::DayOfYear:
    case Interval::Day:
        return d2 - d1;
    case Interval::Weekday:
        return (d2 - d1) / 7;
    case Interval::Week:
        return floorDiv(d2 - firstDay, 7) - floorDiv(d1 - firstDay, 7);
    case Interval::Hour:
        return floorDiv(s2, 3600) - floorDiv(s1, 3600);
    case Interval::Minute:
        return floorDiv(s2, 60) - floorDiv(s1, 60);
    case Interval::Second:
        return s2 - s1;
    }
    throw LibError{5};
}

int datePart(std::u16string_view interval, DateValue date, int firstDayOfWeek, int firstWeekOfYear) {
    Interval kind = parseInterval(interval);
    int firstDay = checkFirstDay(firstDayOfWeek);
    int firstWeek = checkFirstWeek(firstWeekOfYear);
    DateParts p = splitDate(date);
    std::int64_t day = floorDiv(linearSeconds(date), kSecondsPerDay);
    switch (kind) {
    case Interval::Year:
        return p.year;
    case Interval::Quarter:
        return (p.month - 1) / 3 + 1;
    case Interval::Month:
        return p.month;
    case Interval::DayOfYear:
        return static_cast<int>(day - serialDay(p.year, 1, 1)) + 1;
    case Interval::Day:
        return p.day;
    case Interval::Weekday:
        return weekdayFrom(day, firstDay);
    case Interval::Week:
        return weekOfYear(day, firstDay, firstWeek);
    case Interval::Hour:
        return p.hour;
    case Interval::Minute:
        return p.minute;
    case Interval::Second:
        return p.second;
    }
    throw LibError{5};
}

std::optional<DateValue> parseDate(std::u16string_view text) {
    auto tokens = tokenize(text);
    if (!tokens) return std::nullopt;
    std::optional<std::int64_t> seconds;
    if (!takeTime(*tokens, seconds)) return std::nullopt;
    bool anyDate = false;
    auto day = takeDate(*tokens, anyDate);
    if (anyDate && !day) return std::nullopt;
    if (!anyDate) {
        // Only separators may remain besides the time.
        for (const auto& t : *tokens)
            if (t.kind != Token::Separator) return std::nullopt;
        if (!seconds) return std::nullopt;
    }
    return fromSeconds(day.value_or(0) * kSecondsPerDay + seconds.value_or(0));
}

DateValue dateValueOf(std::u16string_view text) {
    auto date = parseDate(text);
    if (!date) throw LibError{13};
    return datePartOnly(*date);
}

DateValue timeValueOf(std::u16string_view text) {
    auto date = parseDate(text);
    if (!date) throw LibError{13};
    return timePartOnly(*date);
}

std::u16string formatDate(DateValue date) {
    DateParts p = splitDate(date);
    bool noDate = p.year == 1899 && p.month == 12 && p.day == 30;
    bool noTime = p.hour == 0 && p.minute == 0 && p.second == 0;
    if (noDate) return longTime(p);
    if (noTime) return shortDate(p);
    return shortDate(p) + u" " + longTime(p);
}

std::u16string formatDateTime(DateValue date, int namedFormat) {
    DateParts p = splitDate(date);
    switch (namedFormat) {
    case 0:
        return formatDate(date);
    case 1: {
        std::int64_t day = floorDiv(linearSeconds(date), kSecondsPerDay);
        return std::u16string(kDayNames[sundayWeekday(day) - 1]) + u", " + kMonthNames[p.month - 1] + u" " +
               number(p.day) + u", " + number(p.year);
    }
    case 2:
        return shortDate(p);
    case 3:
        return longTime(p);
    case 4:
        return twoDigits(p.hour) + u":" + twoDigits(p.minute);
    default:
        throw LibError{5};
    }
}

DateValue now() {
    using namespace std::chrono;
    auto clock = system_clock::now();
    std::time_t t = system_clock::to_time_t(clock);
    std::tm local{};
    localtime_r(&t, &local);
    DateParts p{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                local.tm_hour,        local.tm_min,     std::min(local.tm_sec, 59)};
    return makeDate(p).value_or(0.0);
}

double timer() {
    using namespace std::chrono;
    auto clock = system_clock::now();
    std::time_t t = system_clock::to_time_t(clock);
    std::tm local{};
    localtime_r(&t, &local);
    auto millis = duration_cast<milliseconds>(clock.time_since_epoch()).count() % 1000;
    return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + millis / 1000.0;
}

} // namespace vbscript::lib
