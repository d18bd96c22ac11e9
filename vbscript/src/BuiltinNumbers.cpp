// Numeric built-ins: conversions, rounding and maths.
#include <cmath>
#include <cstring>

#include "Builtins.h"
#include "lib/DateTime.h"
#include "lib/NumberFormat.h"

namespace vbscript::detail {

namespace {

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

// ---- maths ----

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

} // namespace

const Builtin kNumberBuiltins[] = {
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
    {u"Sin", fnSin, 1, 1},
    {u"Cos", fnCos, 1, 1},
    {u"Tan", fnTan, 1, 1},
    {u"Atn", fnAtn, 1, 1},
    {u"Sqr", fnSqr, 1, 1},
    {u"Exp", fnExp, 1, 1},
    {u"Log", fnLog, 1, 1},
    {u"Rnd", fnRnd, 0, 1},
    {u"Randomize", fnRandomize, 0, 1},
};
const size_t kNumberBuiltinCount = std::size(kNumberBuiltins);

} // namespace vbscript::detail
