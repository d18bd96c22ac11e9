// VBScript's operators on Variants: type promotion, overflow, Null propagation and comparison rules.
#include <cmath>
#include <limits>

#include "Runtime.h"
#include "lib/CharCase.h"
#include "lib/NumberFormat.h"
#include "vbscript/ScriptError.h"

namespace vbscript::detail {

namespace {

// Numeric ranks for result types; ORDER RESERVED: the arithmetic below compares them.
enum Rank { RByte, RInteger, RLong, RSingle, RDouble, RCurrency, RDate };

double parseOrMismatch(const std::u16string& s) {
    if (auto d = lib::parseNumber(s)) return *d;
    throw ScriptError(13);
}

// The numeric rank of an operand after VBScript's conversions (String counts as Double).
Rank rankOf(const Variant& v) {
    switch (v.type()) {
    case VarType::Empty:
    case VarType::Boolean:
    case VarType::Integer:
        return RInteger;
    case VarType::Byte:
        return RByte;
    case VarType::Long:
        return RLong;
    case VarType::Single:
        return RSingle;
    case VarType::Double:
    case VarType::String:
        return RDouble;
    case VarType::Currency:
        return RCurrency;
    case VarType::Date:
        return RDate;
    default:
        throw ScriptError(13);
    }
}

double num(const Variant& v) {
    if (v.isString()) return parseOrMismatch(v.string());
    return v.toDouble();
}

Variant makeInt(int64_t r, Rank rank) {
    if (rank == RByte) {
        if (r >= 0 && r <= 255) return Variant::fromByte(static_cast<uint8_t>(r));
        rank = RInteger;
    }
    if (rank == RInteger) {
        if (r >= INT16_MIN && r <= INT16_MAX) return Variant::fromInteger(static_cast<int16_t>(r));
        rank = RLong;
    }
    if (r >= INT32_MIN && r <= INT32_MAX) return Variant::fromLong(static_cast<int32_t>(r));
    return Variant(static_cast<double>(r));
}

Variant makeFloat(double r, Rank rank) {
    if (rank == RSingle) {
        if (!std::isfinite(r) || std::fabs(r) <= 3.402823466e38)
            return Variant::fromSingle(static_cast<float>(r));
    }
    if (!std::isfinite(r)) throw ScriptError(6);
    return Variant(r);
}

enum class Arith { Add, Sub, Mul };

Variant arith(const Variant& a0, const Variant& b0, Arith op) {
    Variant ta, tb;
    const Variant& a = valueOf(a0, ta);
    const Variant& b = valueOf(b0, tb);
    if (a.isNull() || b.isNull()) return Variant::null();
    Rank ra = rankOf(a), rb = rankOf(b);
    if (a.isEmpty() && b.isEmpty()) return Variant::fromInteger(0);
    // Empty takes the other operand's type.
    if (a.isEmpty()) ra = rb == RDouble && b.isString() ? RDouble : rb;
    if (b.isEmpty()) rb = ra == RDouble && a.isString() ? RDouble : ra;
    Rank r = std::max(ra, rb);
    if (ra == RDate || rb == RDate) {
        if (op == Arith::Mul) return Variant(num(a) * num(b));
        double d = op == Arith::Add ? num(a) + num(b) : num(a) - num(b);
        if (op == Arith::Sub && ra == RDate && rb == RDate) return Variant(d);
        return Variant::fromDate(d);
    }
    if (ra == RCurrency || rb == RCurrency) {
        Rank other = ra == RCurrency ? rb : ra;
        if (other == RSingle || other == RDouble) {
            double x = num(a), y = num(b);
            return makeFloat(op == Arith::Add ? x + y : op == Arith::Sub ? x - y : x * y, RDouble);
        }
        int64_t x = a.toCurrency(), y = b.toCurrency();
        if (op == Arith::Mul) {
            long double p = static_cast<long double>(x) * static_cast<long double>(y) / 10000.0L;
            if (std::fabs(p) > 9.2e18L) throw ScriptError(6);
            return Variant::fromCurrency(static_cast<int64_t>(std::llround(static_cast<double>(p))));
        }
        int64_t res;
        if (__builtin_add_overflow(x, op == Arith::Add ? y : -y, &res)) throw ScriptError(6);
        return Variant::fromCurrency(res);
    }
    if (r <= RLong) {
        int64_t x = a.isEmpty()                    ? 0
                    : a.type() == VarType::Byte    ? a.byteValue()
                    : a.type() == VarType::Integer ? a.integer()
                                                   : a.longValue();
        int64_t y = b.isEmpty()                    ? 0
                    : b.type() == VarType::Byte    ? b.byteValue()
                    : b.type() == VarType::Integer ? b.integer()
                                                   : b.longValue();
        if (a.type() == VarType::Boolean) x = a.boolean() ? -1 : 0;
        if (b.type() == VarType::Boolean) y = b.boolean() ? -1 : 0;
        int64_t res = op == Arith::Add ? x + y : op == Arith::Sub ? x - y : x * y;
        return makeInt(res, r);
    }
    if (r == RSingle && (ra == RLong || rb == RLong)) r = RDouble;
    double x = num(a), y = num(b);
    return makeFloat(op == Arith::Add ? x + y : op == Arith::Sub ? x - y : x * y, r);
}

// Integer rank for \, Mod and the bitwise operators.
Rank intRank(const Variant& a, const Variant& b) {
    auto small = [](const Variant& v) {
        switch (v.type()) {
        case VarType::Byte:
            return 0;
        case VarType::Empty:
        case VarType::Boolean:
        case VarType::Integer:
            return 1;
        default:
            return 2;
        }
    };
    int m = std::max(small(a), small(b));
    if (a.type() == VarType::Byte && b.type() == VarType::Byte) return RByte;
    if (a.type() == VarType::Byte && b.isEmpty()) return RByte;
    if (b.type() == VarType::Byte && a.isEmpty()) return RByte;
    return m <= 1 ? RInteger : RLong;
}

int32_t toLongValue(const Variant& v) {
    if (v.isString()) return lib::toLong(parseOrMismatch(v.string()));
    return v.toLong();
}

Variant intResult(int64_t r, Rank rank) {
    if (rank == RByte) return Variant::fromByte(static_cast<uint8_t>(r));
    if (rank == RInteger) return Variant::fromInteger(static_cast<int16_t>(r));
    return Variant::fromLong(static_cast<int32_t>(r));
}

bool isTrueValue(const Variant& v) {
    if (v.type() == VarType::Boolean) return v.boolean();
    return toLongValue(v) == -1;
}
bool isFalseValue(const Variant& v) {
    if (v.type() == VarType::Boolean) return !v.boolean();
    return toLongValue(v) == 0;
}

enum class Logic { And, Or, Xor, Eqv, Imp };

Variant logical(const Variant& a0, const Variant& b0, Logic op) {
    Variant ta, tb;
    const Variant* pa = &valueOf(a0, ta);
    const Variant* pb = &valueOf(b0, tb);
    // Empty takes part as a Long 0.
    Variant za, zb;
    if (pa->isEmpty()) za = Variant::fromLong(0), pa = &za;
    if (pb->isEmpty()) zb = Variant::fromLong(0), pb = &zb;
    const Variant& a = *pa;
    const Variant& b = *pb;
    if (a.isArray() || b.isArray() || a.type() == VarType::Error || b.type() == VarType::Error)
        throw ScriptError(13);
    if (a.isNull() || b.isNull()) {
        if (a.isNull() && b.isNull()) return Variant::null();
        const Variant& o = a.isNull() ? b : a;
        bool oIsBool = o.type() == VarType::Boolean;
        switch (op) {
        case Logic::And:
            if (isFalseValue(o)) return oIsBool ? Variant(false) : intResult(0, intRank(o, o));
            return Variant::null();
        case Logic::Or:
            if (isTrueValue(o)) return oIsBool ? Variant(true) : intResult(-1, intRank(o, o));
            return Variant::null();
        case Logic::Imp:
            if (a.isNull())
                return isTrueValue(b)
                           ? (b.type() == VarType::Boolean ? Variant(true) : intResult(-1, intRank(b, b)))
                           : Variant::null();
            if (a.type() == VarType::Boolean) return a.boolean() ? Variant::null() : Variant(true);
            if (a.type() == VarType::Byte) return Variant::fromByte(static_cast<uint8_t>(~a.byteValue()));
            if (a.type() != VarType::Integer && a.type() != VarType::Long) return Variant::null();
            return intResult(~toLongValue(a), intRank(a, a));
        default:
            return Variant::null();
        }
    }
    if (a.type() == VarType::Boolean && b.type() == VarType::Boolean) {
        bool x = a.boolean(), y = b.boolean();
        switch (op) {
        case Logic::And:
            return Variant(x && y);
        case Logic::Or:
            return Variant(x || y);
        case Logic::Xor:
            return Variant(x != y);
        case Logic::Eqv:
            return Variant(x == y);
        case Logic::Imp:
            return Variant(!x || y);
        }
    }
    Rank r = intRank(a, b);
    int32_t x = toLongValue(a), y = toLongValue(b);
    int32_t res = 0;
    switch (op) {
    case Logic::And:
        res = x & y;
        break;
    case Logic::Or:
        res = x | y;
        break;
    case Logic::Xor:
        res = x ^ y;
        break;
    case Logic::Eqv:
        res = ~(x ^ y);
        break;
    case Logic::Imp:
        res = ~x | y;
        break;
    }
    if (r == RByte) return Variant::fromByte(static_cast<uint8_t>(res));
    return intResult(res, r);
}

} // namespace

Variant opAdd(const Variant& a0, const Variant& b0) {
    if (a0.isString() && b0.isString()) return Variant(a0.string() + b0.string());
    Variant ta, tb;
    const Variant& a = valueOf(a0, ta);
    const Variant& b = valueOf(b0, tb);
    if (a.isString() && b.isString()) return Variant(a.string() + b.string());
    if ((a.isString() && b.isEmpty()) || (a.isEmpty() && b.isString()))
        return Variant(a.isString() ? a.string() : b.string());
    return arith(a, b, Arith::Add);
}
Variant opSub(const Variant& a, const Variant& b) {
    return arith(a, b, Arith::Sub);
}
Variant opMul(const Variant& a, const Variant& b) {
    return arith(a, b, Arith::Mul);
}

Variant opDiv(const Variant& a0, const Variant& b0) {
    Variant ta, tb;
    const Variant& a = valueOf(a0, ta);
    const Variant& b = valueOf(b0, tb);
    if (a.isNull() || b.isNull()) return Variant::null();
    Rank ra = rankOf(a), rb = rankOf(b);
    double x = num(a), y = num(b);
    if (y == 0) throw ScriptError(x == 0 ? 6 : 11);
    double r = x / y;
    bool single = (ra == RSingle || rb == RSingle) && ra != RDouble && rb != RDouble && ra != RLong &&
                  rb != RLong && ra != RCurrency && rb != RCurrency && ra != RDate && rb != RDate;
    return makeFloat(r, single ? RSingle : RDouble);
}

Variant opIntDiv(const Variant& a0, const Variant& b0) {
    Variant ta, tb;
    const Variant& a = valueOf(a0, ta);
    const Variant& b = valueOf(b0, tb);
    if (a.isNull() || b.isNull()) return Variant::null();
    Rank r = intRank(a, b);
    int64_t x = toLongValue(a), y = toLongValue(b);
    if (y == 0) throw ScriptError(11);
    return makeInt(x / y, r);
}

Variant opMod(const Variant& a0, const Variant& b0) {
    Variant ta, tb;
    const Variant& a = valueOf(a0, ta);
    const Variant& b = valueOf(b0, tb);
    if (a.isNull() || b.isNull()) return Variant::null();
    Rank r = intRank(a, b);
    int64_t x = toLongValue(a), y = toLongValue(b);
    if (y == 0) throw ScriptError(11);
    return makeInt(x % y, r);
}

Variant opPow(const Variant& a0, const Variant& b0) {
    Variant ta, tb;
    const Variant& a = valueOf(a0, ta);
    const Variant& b = valueOf(b0, tb);
    if (a.isNull() || b.isNull()) return Variant::null();
    double x = num(a), y = num(b);
    double r = std::pow(x, y);
    if (std::isnan(r)) throw ScriptError(5);
    if (!std::isfinite(r)) throw ScriptError(6);
    return Variant(r);
}

Variant opConcat(const Variant& a0, const Variant& b0) {
    Variant ta, tb;
    const Variant& a = valueOf(a0, ta);
    const Variant& b = valueOf(b0, tb);
    if (a.isNull() && b.isNull()) return Variant::null();
    if (a.isArray() || b.isArray()) throw ScriptError(13);
    std::u16string ta2, tb2;
    std::u16string_view sa = a.isNull()     ? std::u16string_view()
                             : a.isString() ? a.string()
                                            : (ta2 = a.toString());
    std::u16string_view sb = b.isNull()     ? std::u16string_view()
                             : b.isString() ? b.string()
                                            : (tb2 = b.toString());
    requireMemory((sa.size() + sb.size()) * sizeof(char16_t));
    std::u16string s;
    s.reserve(sa.size() + sb.size());
    appendPolled(s, sa);
    appendPolled(s, sb);
    return Variant(std::move(s));
}

Variant opNeg(const Variant& a0) {
    Variant ta;
    const Variant& a = valueOf(a0, ta);
    switch (a.type()) {
    case VarType::Null:
        return Variant::null();
    case VarType::Empty:
        return Variant::fromInteger(0);
    case VarType::Boolean:
        return Variant::fromInteger(a.boolean() ? 1 : 0);
    case VarType::Byte:
        return Variant::fromInteger(static_cast<int16_t>(-a.byteValue()));
    case VarType::Integer:
        return makeInt(-static_cast<int64_t>(a.integer()), RInteger);
    case VarType::Long:
        return makeInt(-static_cast<int64_t>(a.longValue()), RLong);
    case VarType::Single:
        return Variant::fromSingle(-a.single());
    case VarType::Double:
        return Variant(-a.dbl());
    case VarType::Currency:
        return Variant::fromCurrency(-a.currency());
    case VarType::Date:
        return Variant::fromDate(-a.date());
    case VarType::String:
        return Variant(-parseOrMismatch(a.string()));
    default:
        throw ScriptError(13);
    }
}

Variant opNot(const Variant& a0) {
    Variant ta;
    const Variant& a = valueOf(a0, ta);
    switch (a.type()) {
    case VarType::Null:
        return Variant::null();
    case VarType::Empty:
        return Variant::fromLong(-1);
    case VarType::Boolean:
        return Variant(!a.boolean());
    case VarType::Byte:
        return Variant::fromByte(static_cast<uint8_t>(~a.byteValue()));
    case VarType::Integer:
        return Variant::fromInteger(static_cast<int16_t>(~a.integer()));
    case VarType::Long:
        return Variant::fromLong(~a.longValue());
    case VarType::String:
        if (namesEqual(a.string(), u"True") || namesEqual(a.string(), u"#TRUE#")) return Variant(false);
        if (namesEqual(a.string(), u"False") || namesEqual(a.string(), u"#FALSE#")) return Variant(true);
        return Variant::fromLong(~toLongValue(a));
    case VarType::Single:
    case VarType::Double:
    case VarType::Currency:
    case VarType::Date:
        return Variant::fromLong(~a.toLong());
    default:
        throw ScriptError(13);
    }
}

Variant opAnd(const Variant& a, const Variant& b) {
    return logical(a, b, Logic::And);
}
Variant opOr(const Variant& a, const Variant& b) {
    return logical(a, b, Logic::Or);
}
Variant opXor(const Variant& a, const Variant& b) {
    return logical(a, b, Logic::Xor);
}
Variant opEqv(const Variant& a, const Variant& b) {
    return logical(a, b, Logic::Eqv);
}
Variant opImp(const Variant& a, const Variant& b) {
    return logical(a, b, Logic::Imp);
}

int compareStrings(std::u16string_view a, std::u16string_view b, bool text) {
    if (text) {
        int c = lib::compareText(a, b);
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    int c = a.compare(b);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

namespace {
int cmpNum(double x, double y) {
    return x < y ? -1 : x > y ? 1 : 0;
}

int numericCompare(const Variant& a, const Variant& b) {
    if (a.type() == VarType::Currency && b.type() == VarType::Currency)
        return a.currency() < b.currency() ? -1 : a.currency() > b.currency() ? 1 : 0;
    auto isInt = [](const Variant& v) {
        auto t = v.type();
        return t == VarType::Integer || t == VarType::Long || t == VarType::Byte || t == VarType::Boolean ||
               t == VarType::Empty;
    };
    // A Single against a Double compares at Single precision: CSng(0.1) = 0.1.
    if ((a.type() == VarType::Single && b.type() == VarType::Double) ||
        (a.type() == VarType::Double && b.type() == VarType::Single)) {
        float x = static_cast<float>(a.toDouble()), y = static_cast<float>(b.toDouble());
        return x < y ? -1 : x > y ? 1 : 0;
    }
    if (isInt(a) && isInt(b)) {
        int32_t x = a.isEmpty() ? 0 : a.toLong(), y = b.isEmpty() ? 0 : b.toLong();
        return x < y ? -1 : x > y ? 1 : 0;
    }
    return cmpNum(a.toDouble(), b.toDouble());
}
} // namespace

int compareValues(const Variant& a0, const Variant& b0, bool aLit, bool bLit, bool text) {
    Variant ta, tb;
    const Variant& a = valueOf(a0, ta);
    const Variant& b = valueOf(b0, tb);
    if (a.isNull() || b.isNull()) return 2;
    if (a.isArray() || b.isArray() || a.type() == VarType::Error || b.type() == VarType::Error)
        throw ScriptError(13);
    bool as = a.isString(), bs = b.isString();
    if (as && bs) return compareStrings(a.string(), b.string(), text);
    if (!as && !bs) return numericCompare(a, b);
    // One string, one other value.
    const Variant& s = as ? a : b;
    const Variant& o = as ? b : a;
    bool sLit = as ? aLit : bLit, oLit = as ? bLit : aLit;
    int sign = as ? 1 : -1;
    int r;
    if (o.isEmpty()) {
        r = compareStrings(s.string(), u"", text);
    } else if (o.type() == VarType::Boolean) {
        if (sLit || oLit)
            r = compareStrings(s.string(), o.boolean() ? u"True" : u"False", text);
        else
            r = 1;
    } else if (oLit) {
        r = cmpNum(parseOrMismatch(s.string()), o.toDouble());
        if (o.type() == VarType::Integer || o.type() == VarType::Long || o.type() == VarType::Byte)
            r = cmpNum(parseOrMismatch(s.string()), static_cast<double>(o.toLong()));
    } else if (sLit) {
        r = compareStrings(s.string(), o.toString(), text);
    } else {
        r = 1;
    }
    return r * sign;
}

bool valuesEqual(const Variant& a, const Variant& b) {
    return compareValues(a, b, false, false) == 0;
}

} // namespace vbscript::detail
