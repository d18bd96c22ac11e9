// Built-in functions: conversions, type information, arrays, maths, dates, dialogs, Eval/Execute.
#include <cmath>
#include <cstring>
#include <ctime>

#include "Ast.h"
#include "Builtins.h"
#include "Objects.h"
#include "lib/DateTime.h"
#include "lib/NumberFormat.h"

namespace vbscript::detail {

Variant argValue(const CallArgs& a, size_t i) {
    const Variant& v = a[i];
    if (v.isObject()) return objectDefault(v);
    return v;
}
bool hasArg(const CallArgs& a, size_t i) {
    return i < a.size() && !a[i].isEmpty();
}
std::u16string argString(const CallArgs& a, size_t i) {
    Variant tmp;
    return valueOf(a[i], tmp).toString();
}
int32_t argLong(const CallArgs& a, size_t i) {
    Variant tmp;
    const Variant& v = valueOf(a[i], tmp);
    if (v.isNull()) throw ScriptError(94);
    return v.toLong();
}

namespace {

#define VBS_FN(name) Variant name([[maybe_unused]] Frame& f, [[maybe_unused]] const CallArgs& a)

// ---- constants ----
#define VBS_CONST_INT(fname, value)                                                                          \
    VBS_FN(fname) {                                                                                          \
        return Variant::fromInteger(value);                                                                  \
    }
#define VBS_CONST_LONG(fname, value)                                                                         \
    VBS_FN(fname) {                                                                                          \
        return Variant::fromLong(value);                                                                     \
    }
#define VBS_CONST_STR(fname, value)                                                                          \
    VBS_FN(fname) {                                                                                          \
        return Variant(std::u16string(value));                                                               \
    }

VBS_CONST_STR(cVbCr, u"\r")
VBS_CONST_STR(cVbLf, u"\n")
VBS_CONST_STR(cVbCrLf, u"\r\n")
VBS_CONST_STR(cVbTab, u"\t")
VBS_CONST_STR(cVbNullString, u"")
VBS_FN(cVbNullChar) {
    return Variant(std::u16string(1, u'\0'));
}
VBS_CONST_STR(cVbFormFeed, u"\f")
VBS_CONST_STR(cVbVerticalTab, u"\v")

// ---- conversions ----

Variant checkedNull(const CallArgs& a) {
    Variant v = argValue(a, 0);
    if (v.isNull()) throw ScriptError(94);
    return v;
}

// A conversion called as a statement has nowhere to put its value: VBScript reports 458.
Variant converted(Frame& f, Variant v) {
    if (!f.in->valueWanted) throw ScriptError(458);
    return v;
}

VBS_FN(fnCBool) {
    Variant v = checkedNull(a);
    return Variant(v.toBool());
}
VBS_FN(fnCByte) {
    return converted(f, Variant::fromByte(checkedNull(a).toByte()));
}
VBS_FN(fnCInt) {
    return converted(f, Variant::fromInteger(checkedNull(a).toInteger()));
}
VBS_FN(fnCLng) {
    return converted(f, Variant::fromLong(checkedNull(a).toLong()));
}
VBS_FN(fnCSng) {
    return converted(f, Variant::fromSingle(checkedNull(a).toSingle()));
}
VBS_FN(fnCDbl) {
    return converted(f, Variant(checkedNull(a).toDouble()));
}
VBS_FN(fnCCur) {
    return converted(f, Variant::fromCurrency(checkedNull(a).toCurrency()));
}
VBS_FN(fnCDate) {
    return converted(f, Variant::fromDate(checkedNull(a).toDate()));
}
VBS_FN(fnCStr) {
    return Variant(checkedNull(a).toString());
}

VBS_FN(fnHex) {
    Variant v = argValue(a, 0);
    if (v.isNull()) return Variant::null();
    if (v.isEmpty()) return Variant(std::u16string(u"0"));
    bool sixteen = v.type() == VarType::Integer || v.type() == VarType::Byte || v.type() == VarType::Boolean;
    int32_t n = v.toLong();
    return Variant(libCall([&] { return vbscript::lib::toHex(n, sixteen); }));
}
VBS_FN(fnOct) {
    Variant v = argValue(a, 0);
    if (v.isNull()) return Variant::null();
    if (v.isEmpty()) return Variant(std::u16string(u"0"));
    bool sixteen = v.type() == VarType::Integer || v.type() == VarType::Byte || v.type() == VarType::Boolean;
    int32_t n = v.toLong();
    return Variant(libCall([&] { return vbscript::lib::toOct(n, sixteen); }));
}

template <double (*Op)(double)> Variant intLike(const CallArgs& a) {
    Variant v = argValue(a, 0);
    switch (v.type()) {
    case VarType::Null:
        return Variant::null();
    case VarType::Empty:
        return Variant::fromInteger(0);
    case VarType::Boolean:
        return Variant::fromInteger(v.boolean() ? -1 : 0);
    case VarType::Byte:
    case VarType::Integer:
    case VarType::Long:
        return v;
    case VarType::Single:
        return Variant::fromSingle(static_cast<float>(Op(v.single())));
    case VarType::Currency: {
        double d = Op(static_cast<double>(v.currency()) / 10000.0);
        return Variant::fromCurrency(static_cast<int64_t>(d) * 10000);
    }
    case VarType::Date:
        return Variant::fromDate(Op(v.date()));
    default:
        return Variant(Op(v.toDouble()));
    }
}
double floorOp(double d) {
    return std::floor(d);
}
double truncOp(double d) {
    return std::trunc(d);
}
VBS_FN(fnInt) {
    return intLike<floorOp>(a);
}
VBS_FN(fnFix) {
    return intLike<truncOp>(a);
}

VBS_FN(fnAbs) {
    Variant v = argValue(a, 0);
    switch (v.type()) {
    case VarType::Null:
        return Variant::null();
    case VarType::Empty:
        return Variant::fromInteger(0);
    case VarType::Boolean:
        return Variant::fromInteger(v.boolean() ? 1 : 0);
    case VarType::Byte:
        return v;
    case VarType::Integer:
        return v.integer() < 0 ? opNeg(v) : v;
    case VarType::Long:
        return v.longValue() < 0 ? opNeg(v) : v;
    case VarType::Single:
        return Variant::fromSingle(std::fabs(v.single()));
    case VarType::Currency:
        return Variant::fromCurrency(v.currency() < 0 ? -v.currency() : v.currency());
    case VarType::Date:
        return Variant::fromDate(std::fabs(v.date()));
    default:
        return Variant(std::fabs(v.toDouble()));
    }
}

VBS_FN(fnSgn) {
    Variant v = argValue(a, 0);
    if (v.isNull()) throw ScriptError(94);
    double d = v.toDouble();
    return Variant::fromInteger(d > 0 ? 1 : d < 0 ? -1 : 0);
}

VBS_FN(fnRound) {
    Variant v = argValue(a, 0);
    if (v.isNull()) return Variant::null();
    int digits = hasArg(a, 1) ? argLong(a, 1) : 0;
    if (digits < 0) throw ScriptError(5);
    switch (v.type()) {
    case VarType::Empty:
        return Variant::fromInteger(0);
    case VarType::Boolean:
    case VarType::Byte:
    case VarType::Integer:
    case VarType::Long:
        return v;
    case VarType::Single:
        return Variant::fromSingle(
            static_cast<float>(libCall([&] { return vbscript::lib::roundToDigits(v.single(), digits); })));
    case VarType::Currency: {
        double d = libCall([&] {
            return vbscript::lib::roundToDigits(static_cast<double>(v.currency()) / 10000.0, digits);
        });
        return Variant::fromCurrency(static_cast<int64_t>(std::llround(d * 10000.0)));
    }
    default: {
        double d = v.toDouble();
        return Variant(libCall([&] { return vbscript::lib::roundToDigits(d, digits); }));
    }
    }
}

// ---- type information ----

VBS_FN(fnIsArray) {
    return Variant(a[0].isArray());
}
VBS_FN(fnIsEmpty) {
    return Variant(a[0].isEmpty());
}
VBS_FN(fnIsNull) {
    return Variant(a[0].isNull());
}
VBS_FN(fnIsObject) {
    return Variant(a[0].isObject());
}
VBS_FN(fnIsNumeric) {
    const Variant& r = a[0];
    Variant v;
    if (r.isObject()) {
        try {
            v = objectDefault(r);
        } catch (ScriptError&) {
            return Variant(false);
        }
    } else {
        v = r;
    }
    switch (v.type()) {
    case VarType::Empty:
    case VarType::Boolean:
    case VarType::Byte:
    case VarType::Integer:
    case VarType::Long:
    case VarType::Single:
    case VarType::Double:
    case VarType::Currency:
        return Variant(true);
    case VarType::String:
        return Variant(vbscript::lib::parseNumber(v.string()).has_value());
    default:
        return Variant(false);
    }
}
VBS_FN(fnIsDate) {
    Variant v = a[0].isObject() ? Variant() : a[0];
    if (v.type() == VarType::Date) return Variant(true);
    if (v.isString()) return Variant(vbscript::lib::parseDate(v.string()).has_value());
    return Variant(false);
}

VBS_FN(fnTypeName) {
    return Variant(typeNameOf(a[0]));
}
VBS_FN(fnVarType) {
    const Variant& v = a[0];
    if (v.isArray()) return Variant::fromInteger(8204);
    return Variant::fromInteger(static_cast<int16_t>(v.type()));
}

// ---- arrays ----

VBS_FN(fnArray) {
    std::vector<Variant> items;
    items.reserve(a.size());
    for (size_t i = 0; i < a.size(); ++i)
        items.push_back(a[i]);
    return Variant::fromVector(std::move(items));
}

Variant bound(const CallArgs& a, bool upper) {
    Variant v = argValue(a, 0);
    if (!v.isArray()) throw ScriptError(13);
    int dim = hasArg(a, 1) ? argLong(a, 1) : 1;
    const ArrayData& arr = v.array();
    if (dim < 1 || dim > arr.dimensions()) throw ScriptError(9);
    const auto& b = arr.bounds[static_cast<size_t>(dim - 1)];
    return Variant::fromLong(upper ? b.lower + b.count - 1 : b.lower);
}
VBS_FN(fnUBound) {
    return bound(a, true);
}
VBS_FN(fnLBound) {
    return bound(a, false);
}

// ---- maths ----

double numArg(const CallArgs& a, size_t i) {
    Variant v = argValue(a, i);
    if (v.isNull()) throw ScriptError(94);
    return v.toDouble();
}
template <double (*F)(double)> Variant math1(const CallArgs& a) {
    Variant v = argValue(a, 0);
    if (v.isNull()) return Variant::null();
    return Variant(F(v.toDouble()));
}
double dsin(double x) {
    return std::sin(x);
}
double dcos(double x) {
    return std::cos(x);
}
double dtan(double x) {
    return std::tan(x);
}
double datan(double x) {
    return std::atan(x);
}
VBS_FN(fnSin) {
    return math1<dsin>(a);
}
VBS_FN(fnCos) {
    return math1<dcos>(a);
}
VBS_FN(fnTan) {
    return math1<dtan>(a);
}
VBS_FN(fnAtn) {
    return math1<datan>(a);
}
VBS_FN(fnSqr) {
    Variant v = argValue(a, 0);
    if (v.isNull()) return Variant::null();
    double d = v.toDouble();
    if (d < 0) throw ScriptError(5);
    return Variant(std::sqrt(d));
}
VBS_FN(fnExp) {
    Variant v = argValue(a, 0);
    if (v.isNull()) return Variant::null();
    double r = std::exp(v.toDouble());
    if (!std::isfinite(r)) throw ScriptError(6);
    return Variant(r);
}
VBS_FN(fnLog) {
    Variant v = argValue(a, 0);
    if (v.isNull()) return Variant::null();
    double d = v.toDouble();
    if (d <= 0) throw ScriptError(5);
    return Variant(std::log(d));
}

// VBScript's generator: a 24-bit linear congruential sequence.
VBS_FN(fnRnd) {
    Interp& in = *f.in;
    if (a.size() > 0) {
        Variant v = argValue(a, 0);
        double d = v.toDouble();
        if (d == 0) return Variant::fromSingle(static_cast<float>(in.lastRnd));
        if (d < 0) {
            float s = static_cast<float>(d);
            uint32_t bits;
            std::memcpy(&bits, &s, 4);
            in.rndSeed = (bits + (bits >> 24)) & 0xFFFFFF;
        }
    }
    in.rndSeed = (in.rndSeed * 0x43FD43FDu + 0xC39EC3u) & 0xFFFFFFu;
    in.lastRnd = static_cast<double>(in.rndSeed) / 16777216.0;
    return Variant::fromSingle(static_cast<float>(in.lastRnd));
}
VBS_FN(fnRandomize) {
    Interp& in = *f.in;
    if (in.valueWanted) throw ScriptError(13); // a statement, not a function
    double seed = a.size() > 0 ? numArg(a, 0) : vbscript::lib::timer();
    uint64_t bits;
    std::memcpy(&bits, &seed, 8);
    uint32_t hi = static_cast<uint32_t>(bits >> 32);
    uint32_t mix = ((hi ^ (hi >> 16)) & 0xFFFF) << 8;
    in.rndSeed = (in.rndSeed & 0xFF0000FFu) | (mix & 0x00FFFF00u);
    in.rndSeed &= 0xFFFFFF;
    return {};
}

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

// ---- dialogs and host ----

VBS_FN(fnMsgBox) {
    std::u16string prompt = a[0].isNull() ? std::u16string(u"Null") : argString(a, 0);
    int buttons = hasArg(a, 1) ? argLong(a, 1) : 0;
    std::u16string title = hasArg(a, 2) ? argString(a, 2) : std::u16string(u"VBScript");
    int r = f.in->ui ? f.in->ui->msgBox(prompt, buttons, title) : 1;
    return Variant::fromInteger(static_cast<int16_t>(r));
}
VBS_FN(fnInputBox) {
    std::u16string prompt = argString(a, 0);
    std::u16string title = hasArg(a, 1) ? argString(a, 1) : std::u16string(u"VBScript");
    std::u16string def = hasArg(a, 2) ? argString(a, 2) : std::u16string();
    if (!f.in->ui) return Variant(std::u16string());
    auto r = f.in->ui->inputBox(prompt, title, def);
    if (!r) return Variant(std::u16string());
    return Variant(*r);
}

VBS_FN(fnCreateObject) {
    std::u16string id = argString(a, 0);
    if (namesEqual(id, u"Scripting.Dictionary")) return Variant(makeDictionary());
    if (namesEqual(id, u"VBScript.RegExp")) return Variant(makeRegExp(f.in));
    throw ScriptError(429);
}
VBS_FN(fnGetObject) {
    throw ScriptError(429);
}

VBS_FN(fnErr) {
    return Variant(f.in->errObject);
}

VBS_FN(fnScriptEngine) {
    return Variant(std::u16string(u"VBScript"));
}
VBS_FN(fnScriptEngineMajor) {
    return Variant::fromLong(5);
}
VBS_FN(fnScriptEngineMinor) {
    return Variant::fromLong(8);
}
VBS_FN(fnScriptEngineBuild) {
    return Variant::fromLong(16384);
}
VBS_FN(fnGetLocale) {
    return Variant::fromLong(f.in->locale);
}
VBS_FN(fnSetLocale) {
    int32_t old = f.in->locale;
    if (a.size() > 0 && !a[0].isEmpty()) {
        Variant v = argValue(a, 0);
        if (v.isString() && !vbscript::lib::parseNumber(v.string())) {
            if (!namesEqual(v.string(), u"en-us")) throw ScriptError(5);
            f.in->locale = 1033;
        } else {
            int32_t id = v.toLong();
            if (id <= 0 || id > 0xFFFF) throw ScriptError(447);
            f.in->locale = id;
        }
    } else {
        f.in->locale = 1033;
    }
    return Variant::fromLong(old);
}
VBS_FN(fnRGB) {
    auto part = [&](size_t i) {
        int32_t v = argLong(a, i);
        if (v < 0) throw ScriptError(5);
        return v > 255 ? 255 : v;
    };
    return Variant::fromLong(part(0) + part(1) * 256 + part(2) * 65536);
}

// GetRef's result: calling its default member runs the procedure.
class ProcRef : public BuiltinObject {
public:
    ProcRef(Interp* i, Procedure* p) : in_(i), token_(i->alive), proc_(p) {}
    int findMember(std::u16string_view) override { return kNoMember; }
    Variant invoke(int id, InvokeKind kind, const CallArgs& args) override {
        if (!*token_) throw ScriptError(424);
        if (id != kDefaultMember || kind == InvokeKind::Let || kind == InvokeKind::Set)
            throw ScriptError(438);
        return in_->callProc(proc_, nullptr, args);
    }

private:
    Interp* in_;
    std::shared_ptr<Interp*> token_;
    Procedure* proc_;
};

VBS_FN(fnGetRef) {
    Variant v = argValue(a, 0);
    if (!v.isString()) throw ScriptError(13);
    std::u16string name = v.string();
    GlobalSlot* g = f.in->findGlobal(name);
    if (!g || !g->proc) throw ScriptError(5);
    return Variant(std::static_pointer_cast<HostObject>(std::make_shared<ProcRef>(f.in, g->proc)));
}

// ---- Eval / Execute ----

Procedure* dynamicScope(Frame& f) {
    Procedure* p = f.proc;
    if (!p) return nullptr;
    if (p->global) return p->outer;
    return p;
}

void dropIfPlain(Interp& in, Chunk* c) {
    if (c->procs.empty() && c->classes.empty() && !in.chunks.empty() && in.chunks.back().get() == c)
        in.chunks.pop_back();
}

// Code given to Eval/Execute must be a string; a compile error in it is a "Syntax error" that the
// script can catch.
std::u16string codeArg(const CallArgs& a) {
    Variant v = argValue(a, 0);
    if (!v.isString()) throw ScriptError(13);
    return v.string();
}
Chunk* compileDynamic(Interp& in, const std::u16string& code, Procedure* scope, bool expr) {
    try {
        return in.compile(code, scope, expr);
    } catch (ScriptError& e) {
        ScriptError err(e.number == 1031 ? 1031 : 1002, {}, u"Microsoft VBScript compilation error");
        err.line = e.line;
        err.column = e.column;
        throw err;
    }
}

VBS_FN(fnEval) {
    Variant v = argValue(a, 0);
    if (!v.isString()) return v; // Eval of a value that is not text is that value
    std::u16string code = v.string();
    Procedure* scope = dynamicScope(f);
    Chunk* c = compileDynamic(*f.in, code, scope, true);
    Frame fr{f.in, f.slots, f.self, c->top.get()};
    Variant r = c->evalExpr->eval(fr);
    dropIfPlain(*f.in, c);
    return r;
}
VBS_FN(fnExecute) {
    std::u16string code = codeArg(a);
    Procedure* scope = dynamicScope(f);
    Chunk* c = compileDynamic(*f.in, code, scope, false);
    if (scope) {
        Frame fr{f.in, f.slots, f.self, c->top.get()};
        execBlock(c->top->body, fr);
    } else {
        f.in->runTop(c);
    }
    return {};
}
VBS_FN(fnExecuteGlobal) {
    std::u16string code = codeArg(a);
    Chunk* c = compileDynamic(*f.in, code, nullptr, false);
    f.in->runTop(c);
    return {};
}

const Builtin kBuiltins[] = {
    {u"vbCr", cVbCr, 0, 0, true},
    {u"vbLf", cVbLf, 0, 0, true},
    {u"vbCrLf", cVbCrLf, 0, 0, true},
    {u"vbNewLine", cVbCrLf, 0, 0, true},
    {u"vbTab", cVbTab, 0, 0, true},
    {u"vbNullString", cVbNullString, 0, 0, true},
    {u"vbNullChar", cVbNullChar, 0, 0, true},
    {u"vbFormFeed", cVbFormFeed, 0, 0, true},
    {u"vbVerticalTab", cVbVerticalTab, 0, 0, true},
    {u"CBool", fnCBool, 1, 1},
    {u"CByte", fnCByte, 1, 1},
    {u"CInt", fnCInt, 1, 1},
    {u"CLng", fnCLng, 1, 1},
    {u"CSng", fnCSng, 1, 1},
    {u"CDbl", fnCDbl, 1, 1},
    {u"CCur", fnCCur, 1, 1},
    {u"CDate", fnCDate, 1, 1},
    {u"CStr", fnCStr, 1, 1},
    {u"Hex", fnHex, 1, 1},
    {u"Oct", fnOct, 1, 1},
    {u"Int", fnInt, 1, 1},
    {u"Fix", fnFix, 1, 1},
    {u"Abs", fnAbs, 1, 1},
    {u"Sgn", fnSgn, 1, 1},
    {u"Round", fnRound, 1, 2},
    {u"IsArray", fnIsArray, 1, 1},
    {u"IsEmpty", fnIsEmpty, 1, 1},
    {u"IsNull", fnIsNull, 1, 1},
    {u"IsObject", fnIsObject, 1, 1},
    {u"IsNumeric", fnIsNumeric, 1, 1},
    {u"IsDate", fnIsDate, 1, 1},
    {u"TypeName", fnTypeName, 1, 1},
    {u"VarType", fnVarType, 1, 1},
    {u"Array", fnArray, 0, -1},
    {u"UBound", fnUBound, 1, 2},
    {u"LBound", fnLBound, 1, 2},
    {u"Sin", fnSin, 1, 1},
    {u"Cos", fnCos, 1, 1},
    {u"Tan", fnTan, 1, 1},
    {u"Atn", fnAtn, 1, 1},
    {u"Sqr", fnSqr, 1, 1},
    {u"Exp", fnExp, 1, 1},
    {u"Log", fnLog, 1, 1},
    {u"Rnd", fnRnd, 0, 1},
    {u"Randomize", fnRandomize, 0, 1},
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
    {u"MsgBox", fnMsgBox, 1, 5},
    {u"InputBox", fnInputBox, 1, 7},
    {u"CreateObject", fnCreateObject, 1, 2},
    {u"GetObject", fnGetObject, 0, 2},
    {u"Err", fnErr, 0, 0},
    {u"ScriptEngine", fnScriptEngine, 0, 0},
    {u"ScriptEngineMajorVersion", fnScriptEngineMajor, 0, 0},
    {u"ScriptEngineMinorVersion", fnScriptEngineMinor, 0, 0},
    {u"ScriptEngineBuildVersion", fnScriptEngineBuild, 0, 0},
    {u"GetLocale", fnGetLocale, 0, 0},
    {u"SetLocale", fnSetLocale, 0, 1},
    {u"RGB", fnRGB, 3, 3},
    {u"GetRef", fnGetRef, 1, 1},
    {u"Eval", fnEval, 1, 1},
    {u"Execute", fnExecute, 1, 1},
    {u"ExecuteGlobal", fnExecuteGlobal, 1, 1},
};

struct NumericConst {
    const char16_t* name;
    int32_t value;
    bool isLong;
};
// Named numbers; each becomes a read-only built-in.
constexpr NumericConst kNumbers[] = {
    {u"vbTrue", -1, false},
    {u"vbFalse", 0, false},
    {u"vbUseDefault", -2, false},
    {u"vbBinaryCompare", 0, false},
    {u"vbTextCompare", 1, false},
    {u"vbDatabaseCompare", 2, false},
    {u"vbSunday", 1, false},
    {u"vbMonday", 2, false},
    {u"vbTuesday", 3, false},
    {u"vbWednesday", 4, false},
    {u"vbThursday", 5, false},
    {u"vbFriday", 6, false},
    {u"vbSaturday", 7, false},
    {u"vbUseSystemDayOfWeek", 0, false},
    {u"vbFirstJan1", 1, false},
    {u"vbFirstFourDays", 2, false},
    {u"vbFirstFullWeek", 3, false},
    {u"vbUseSystem", 0, false},
    {u"vbGeneralDate", 0, false},
    {u"vbLongDate", 1, false},
    {u"vbShortDate", 2, false},
    {u"vbLongTime", 3, false},
    {u"vbShortTime", 4, false},
    {u"vbObjectError", static_cast<int32_t>(0x80040000u), true},
    {u"vbOKOnly", 0, false},
    {u"vbOKCancel", 1, false},
    {u"vbAbortRetryIgnore", 2, false},
    {u"vbYesNoCancel", 3, false},
    {u"vbYesNo", 4, false},
    {u"vbRetryCancel", 5, false},
    {u"vbCritical", 16, false},
    {u"vbQuestion", 32, false},
    {u"vbExclamation", 48, false},
    {u"vbInformation", 64, false},
    {u"vbDefaultButton1", 0, false},
    {u"vbDefaultButton2", 256, false},
    {u"vbDefaultButton3", 512, false},
    {u"vbDefaultButton4", 768, false},
    {u"vbApplicationModal", 0, false},
    {u"vbSystemModal", 4096, false},
    {u"vbMsgBoxHelpButton", 16384, true},
    {u"vbMsgBoxSetForeground", 65536, true},
    {u"vbMsgBoxRight", 524288, true},
    {u"vbMsgBoxRtlReading", 1048576, true},
    {u"vbOK", 1, false},
    {u"vbCancel", 2, false},
    {u"vbAbort", 3, false},
    {u"vbRetry", 4, false},
    {u"vbIgnore", 5, false},
    {u"vbYes", 6, false},
    {u"vbNo", 7, false},
    {u"vbEmpty", 0, false},
    {u"vbNull", 1, false},
    {u"vbInteger", 2, false},
    {u"vbLong", 3, false},
    {u"vbSingle", 4, false},
    {u"vbDouble", 5, false},
    {u"vbCurrency", 6, false},
    {u"vbDate", 7, false},
    {u"vbString", 8, false},
    {u"vbObject", 9, false},
    {u"vbError", 10, false},
    {u"vbBoolean", 11, false},
    {u"vbVariant", 12, false},
    {u"vbDataObject", 13, false},
    {u"vbDecimal", 14, false},
    {u"vbByte", 17, false},
    {u"vbArray", 8192, false},
    {u"vbBlack", 0, true},
    {u"vbRed", 255, true},
    {u"vbGreen", 65280, true},
    {u"vbYellow", 65535, true},
    {u"vbBlue", 16711680, true},
    {u"vbMagenta", 16711935, true},
    {u"vbCyan", 16776960, true},
    {u"vbWhite", 16777215, true},
};

template <size_t I> Variant numberConst(Frame&, const CallArgs&) {
    return kNumbers[I].isLong || kNumbers[I].value > 32767 || kNumbers[I].value < -32768
               ? Variant::fromLong(kNumbers[I].value)
               : Variant::fromInteger(static_cast<int16_t>(kNumbers[I].value));
}

template <size_t... I> std::vector<Builtin> numberBuiltins(std::index_sequence<I...>) {
    return {Builtin{kNumbers[I].name, numberConst<I>, 0, 0, true}...};
}

struct Registry {
    std::unordered_map<std::u16string, const Builtin*> map;
    std::vector<Builtin> numbers = numberBuiltins(std::make_index_sequence<std::size(kNumbers)>());
    Registry() {
        for (const auto& b : kBuiltins)
            map[nameKey(b.name)] = &b;
        for (size_t i = 0; i < kStringBuiltinCount; ++i)
            map[nameKey(kStringBuiltins[i].name)] = &kStringBuiltins[i];
        for (const auto& b : numbers)
            map[nameKey(b.name)] = &b;
    }
};

} // namespace

const Builtin* findBuiltin(std::u16string_view name) {
    static const Registry registry; // immutable after construction: safe to share between hosts
    auto it = registry.map.find(nameKey(name));
    return it == registry.map.end() ? nullptr : it->second;
}

std::u16string typeNameOf(const Variant& v) {
    switch (v.type()) {
    case VarType::Empty:
        return u"Empty";
    case VarType::Null:
        return u"Null";
    case VarType::Integer:
        return u"Integer";
    case VarType::Long:
        return u"Long";
    case VarType::Single:
        return u"Single";
    case VarType::Double:
        return u"Double";
    case VarType::Currency:
        return u"Currency";
    case VarType::Date:
        return u"Date";
    case VarType::String:
        return u"String";
    case VarType::Boolean:
        return u"Boolean";
    case VarType::Byte:
        return u"Byte";
    case VarType::Error:
        return u"Error";
    case VarType::Array:
        return u"Variant()";
    case VarType::Object:
        return v.object() ? v.object()->typeName() : u"Nothing";
    default:
        return u"Unknown";
    }
}

} // namespace vbscript::detail
