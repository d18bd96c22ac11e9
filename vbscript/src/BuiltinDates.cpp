// Date and time built-ins.
#include <cmath>
#include <ctime>

#include "Builtins.h"
#include "lib/DateTime.h"
#include "lib/NumberFormat.h"

namespace vbscript::detail {

namespace {

// ---- dates ----

template <int Part> Variant datePartFn(const CallArgs& a) {
    Variant v = argValue(a, 0);
    if (v.isNull()) return Variant::null();
    double d = v.toDate();
    auto p = libCall([&] { return vbscript::lib::splitDate(d); });
    int r = Part == 0   ? p.year
            : Part == 1 ? p.month
            : Part == 2 ? p.day
            : Part == 3 ? p.hour
            : Part == 4 ? p.minute
                        : p.second;
    return Variant::fromInteger(static_cast<int16_t>(r));
}
VBS_FN(fnYear) {
    return datePartFn<0>(a);
}
VBS_FN(fnMonth) {
    return datePartFn<1>(a);
}
VBS_FN(fnDay) {
    return datePartFn<2>(a);
}
VBS_FN(fnHour) {
    return datePartFn<3>(a);
}
VBS_FN(fnMinute) {
    return datePartFn<4>(a);
}
VBS_FN(fnSecond) {
    return datePartFn<5>(a);
}

VBS_FN(fnNow) {
    return Variant::fromDate(vbscript::lib::now());
}
VBS_FN(fnDate) {
    return Variant::fromDate(vbscript::lib::datePartOnly(vbscript::lib::now()));
}
VBS_FN(fnTime) {
    return Variant::fromDate(vbscript::lib::timePartOnly(vbscript::lib::now()));
}
VBS_FN(fnTimer) {
    return Variant::fromSingle(static_cast<float>(vbscript::lib::timer()));
}

VBS_FN(fnWeekday) {
    int first = hasArg(a, 1) ? argLong(a, 1) : 1;
    if (first < 0 || first > 7) throw ScriptError(5);
    Variant v = argValue(a, 0);
    if (v.isNull()) return Variant::null();
    double d = v.toDate();
    return Variant::fromInteger(
        static_cast<int16_t>(libCall([&] { return vbscript::lib::weekday(d, first); })));
}
VBS_FN(fnWeekdayName) {
    int n = argLong(a, 0);
    bool abbr = hasArg(a, 1) ? argValue(a, 1).toBool() : false;
    int first = hasArg(a, 2) ? argLong(a, 2) : 1;
    return Variant(libCall([&] { return vbscript::lib::weekdayName(n, abbr, first); }));
}
VBS_FN(fnMonthName) {
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].isNull()) throw ScriptError(94);
    int n = argLong(a, 0);
    bool abbr = hasArg(a, 1) ? argValue(a, 1).toBool() : false;
    return Variant(libCall([&] { return vbscript::lib::monthName(n, abbr); }));
}
VBS_FN(fnDateAdd) {
    std::u16string iv = argString(a, 0);
    Variant n = argValue(a, 1);
    Variant d = argValue(a, 2);
    if (n.isNull()) throw ScriptError(94);
    if (d.isNull()) return Variant::null();
    double nd = n.toDouble();
    double dd = d.toDate();
    return Variant::fromDate(libCall([&] { return vbscript::lib::dateAdd(iv, nd, dd); }));
}
VBS_FN(fnDateDiff) {
    std::u16string iv = argString(a, 0);
    Variant d1 = argValue(a, 1), d2 = argValue(a, 2);
    if (d1.isNull() || d2.isNull()) return Variant::null();
    int first = hasArg(a, 3) ? argLong(a, 3) : 1;
    int week = hasArg(a, 4) ? argLong(a, 4) : 1;
    double x = d1.toDate(), y = d2.toDate();
    int64_t r = libCall([&] { return vbscript::lib::dateDiff(iv, x, y, first, week); });
    if (r < INT32_MIN || r > INT32_MAX) throw ScriptError(6);
    return Variant::fromLong(static_cast<int32_t>(r));
}
VBS_FN(fnDatePart) {
    std::u16string iv = argString(a, 0);
    Variant d = argValue(a, 1);
    if (d.isNull()) return Variant::null();
    int first = hasArg(a, 2) ? argLong(a, 2) : 1;
    int week = hasArg(a, 3) ? argLong(a, 3) : 1;
    double x = d.toDate();
    return Variant::fromInteger(
        static_cast<int16_t>(libCall([&] { return vbscript::lib::datePart(iv, x, first, week); })));
}
VBS_FN(fnDateSerial) {
    double y = numArg(a, 0), m = numArg(a, 1), d = numArg(a, 2);
    return Variant::fromDate(libCall([&] { return vbscript::lib::dateSerial(y, m, d); }));
}
VBS_FN(fnTimeSerial) {
    double h = numArg(a, 0), m = numArg(a, 1), s = numArg(a, 2);
    return Variant::fromDate(libCall([&] { return vbscript::lib::timeSerial(h, m, s); }));
}
VBS_FN(fnDateValue) {
    Variant v = argValue(a, 0);
    if (v.isNull()) throw ScriptError(94);
    if (v.type() != VarType::Date && !v.isString()) throw ScriptError(13);
    if (v.isString()) {
        std::u16string s = v.string();
        return Variant::fromDate(libCall([&] { return vbscript::lib::dateValueOf(s); }));
    }
    return Variant::fromDate(vbscript::lib::datePartOnly(v.toDate()));
}
VBS_FN(fnTimeValue) {
    Variant v = argValue(a, 0);
    if (v.isNull()) throw ScriptError(94);
    if (v.isString()) {
        std::u16string s = v.string();
        return Variant::fromDate(libCall([&] { return vbscript::lib::timeValueOf(s); }));
    }
    return Variant::fromDate(vbscript::lib::timePartOnly(v.toDate()));
}
VBS_FN(fnFormatDateTime) {
    Variant v = argValue(a, 0);
    if (v.isNull()) throw ScriptError(13);
    double d = v.toDate();
    int fmt = hasArg(a, 1) ? argLong(a, 1) : 0;
    return Variant(libCall([&] { return vbscript::lib::formatDateTime(d, fmt); }));
}

} // namespace

const Builtin kDateBuiltins[] = {
    {u"Year", fnYear, 1, 1},
    {u"Month", fnMonth, 1, 1},
    {u"Day", fnDay, 1, 1},
    {u"Hour", fnHour, 1, 1},
    {u"Minute", fnMinute, 1, 1},
    {u"Second", fnSecond, 1, 1},
    {u"Now", fnNow, 0, 0},
    {u"Date", fnDate, 0, 0},
    {u"Time", fnTime, 0, 0},
    {u"Timer", fnTimer, 0, 0},
    {u"Weekday", fnWeekday, 1, 2},
    {u"WeekdayName", fnWeekdayName, 1, 3},
    {u"MonthName", fnMonthName, 1, 2},
    {u"DateAdd", fnDateAdd, 3, 3},
    {u"DateDiff", fnDateDiff, 3, 5},
    {u"DatePart", fnDatePart, 2, 4},
    {u"DateSerial", fnDateSerial, 3, 3},
    {u"TimeSerial", fnTimeSerial, 3, 3},
    {u"DateValue", fnDateValue, 1, 1},
    {u"TimeValue", fnTimeValue, 1, 1},
    {u"FormatDateTime", fnFormatDateTime, 1, 2},
};
const size_t kDateBuiltinCount = std::size(kDateBuiltins);

} // namespace vbscript::detail
