// String built-ins: lengths, slices, searching, case, splitting and number formatting.
#include "Builtins.h"
#include "lib/CharCase.h"
#include "lib/Escape.h"
#include "lib/NumberFormat.h"
#include "lib/Windows1252.h"

namespace vbscript::detail {

namespace {

bool isNullArg(const CallArgs& a, size_t i) {
    return i < a.size() && a[i].isNull();
}

int compareMode(const CallArgs& a, size_t i) {
    if (!hasArg(a, i)) return 0;
    int m = argLong(a, i);
    if (m < 0 || m > 2) throw ScriptError(5);
    return m;
}

// Searches one text for one needle, letter case aside in text mode (both are upper-cased once, not per
// search). A search can cost the haystack's length times the needle's, so it goes in slices of bounded
// work and stops in between when the script has to stop.
class Finder {
public:
    Finder(Frame& f, std::u16string_view hay, std::u16string_view needle, bool text) : in_(*f.in) {
        if (text) {
            hayUpper_ = vbscript::lib::toUpper(hay);
            needleUpper_ = vbscript::lib::toUpper(needle);
            hay = hayUpper_;
            needle = needleUpper_;
        }
        hay_ = hay;
        needle_ = needle;
        slice_ = std::max<size_t>(1, (size_t(1) << 22) / std::max<size_t>(1, needle.size()));
    }
    // The first match at or after `from`, or npos.
    size_t find(size_t from) {
        const size_t m = needle_.size();
        while (from + m <= hay_.size()) {
            const size_t end = std::min(hay_.size(), from + slice_ + m - 1);
            const size_t p = hay_.substr(0, end).find(needle_, from);
            if (p != npos) return p;
            from = end - m + 1;
            in_.poll();
        }
        return npos;
    }
    // The last match that ends at or before `end`, or npos.
    size_t rfind(size_t end) {
        const size_t m = needle_.size();
        end = std::min(end, hay_.size());
        while (end >= m) {
            const size_t start = end - m >= slice_ ? end - m - slice_ + 1 : 0;
            const size_t p = hay_.substr(start, end - start).rfind(needle_);
            if (p != npos) return start + p;
            if (start == 0) break;
            end = start + m - 1;
            in_.poll();
        }
        return npos;
    }
    static constexpr size_t npos = std::u16string_view::npos;

private:
    Interp& in_;
    std::u16string hayUpper_, needleUpper_;
    std::u16string_view hay_, needle_;
    size_t slice_;
};

// Asks the memory budget before a result grows past what it asked last time.
class GrowingText {
public:
    std::u16string text;
    void append(std::u16string_view part) {
        if (text.size() + part.size() > asked_) {
            asked_ = 2 * (text.size() + part.size());
            requireMemory(asked_ * sizeof(char16_t));
        }
        appendPolled(text, part);
    }

private:
    size_t asked_ = 0;
};

VBS_FN(fnLen) {
    Variant v = argValue(a, 0);
    if (v.isNull()) return Variant::null();
    return Variant::fromLong(static_cast<int32_t>(v.isString() ? v.string().size() : v.toString().size()));
}
VBS_FN(fnLenB) {
    Variant v = argValue(a, 0);
    if (v.isNull()) return Variant::null();
    return Variant::fromLong(static_cast<int32_t>(v.toString().size() * 2));
}

int32_t countArg(const CallArgs& a, size_t i) {
    Variant v = argValue(a, i);
    if (v.isNull()) throw ScriptError(94);
    int32_t n = v.toLong();
    if (n < 0) throw ScriptError(5);
    return n;
}

VBS_FN(fnLeft) {
    if (isNullArg(a, 0)) {
        countArg(a, 1);
        return Variant::null();
    }
    std::u16string s = argString(a, 0);
    size_t n = static_cast<size_t>(countArg(a, 1));
    return Variant(s.substr(0, std::min(n, s.size())));
}
VBS_FN(fnRight) {
    if (isNullArg(a, 0)) {
        countArg(a, 1);
        return Variant::null();
    }
    std::u16string s = argString(a, 0);
    size_t n = std::min(static_cast<size_t>(countArg(a, 1)), s.size());
    return Variant(s.substr(s.size() - n));
}
VBS_FN(fnMid) {
    if (a[1].isNull() || (a.size() > 2 && a[2].isNull())) throw ScriptError(94);
    Variant v = argValue(a, 0);
    int32_t start = argLong(a, 1);
    if (start < 1) throw ScriptError(5);
    int32_t len = -1;
    if (a.size() > 2) {
        len = argLong(a, 2);
        if (len < 0) throw ScriptError(5);
    }
    if (v.isNull()) return Variant::null();
    std::u16string s = v.toString();
    size_t st = static_cast<size_t>(start - 1);
    if (st >= s.size()) return Variant(std::u16string());
    return Variant(len < 0 ? s.substr(st) : s.substr(st, static_cast<size_t>(len)));
}

VBS_FN(fnInStr) {
    size_t i = 0;
    int32_t start = 1;
    if (a.size() >= 3) {
        if (a[0].isNull()) throw ScriptError(94);
        start = argLong(a, 0);
        if (start < 1) throw ScriptError(5);
        i = 1;
    }
    int mode = a.size() >= 4 ? compareMode(a, 3) : 0;
    if (a[i].isNull() || a[i + 1].isNull()) return Variant::null();
    std::u16string s = argString(a, i), t = argString(a, i + 1);
    if (static_cast<size_t>(start) > s.size()) {
        if (t.empty() && static_cast<size_t>(start) == s.size() + 1) return Variant::fromLong(0);
        return Variant::fromLong(0);
    }
    if (t.empty()) return Variant::fromLong(start);
    size_t p = Finder(f, s, t, mode == 1).find(static_cast<size_t>(start - 1));
    return Variant::fromLong(p == std::u16string::npos ? 0 : static_cast<int32_t>(p + 1));
}

VBS_FN(fnInStrRev) {
    if (a[0].isNull() || a[1].isNull()) throw ScriptError(94);
    std::u16string s = argString(a, 0), t = argString(a, 1);
    int32_t start = hasArg(a, 2) ? argLong(a, 2) : -1;
    if (start == 0 || start < -1) throw ScriptError(5);
    int mode = compareMode(a, 3);
    if (start == -1) start = static_cast<int32_t>(s.size());
    if (static_cast<size_t>(start) > s.size()) return Variant::fromLong(0);
    if (t.empty()) return Variant::fromLong(start);
    if (t.size() > static_cast<size_t>(start)) return Variant::fromLong(0);
    size_t p = Finder(f, s, t, mode == 1).rfind(static_cast<size_t>(start));
    return Variant::fromLong(p == std::u16string::npos ? 0 : static_cast<int32_t>(p + 1));
}

VBS_FN(fnReplace) {
    if (a[0].isNull() || a[1].isNull() || a[2].isNull()) throw ScriptError(94);
    std::u16string s = argString(a, 0), from = argString(a, 1), to = argString(a, 2);
    int32_t start = hasArg(a, 3) ? argLong(a, 3) : 1;
    int32_t count = hasArg(a, 4) ? argLong(a, 4) : -1;
    int mode = compareMode(a, 5);
    if (start < 1 || count < -1) throw ScriptError(5);
    if (static_cast<size_t>(start) > s.size() + 1) return Variant(std::u16string());
    std::u16string src = s.substr(static_cast<size_t>(start - 1));
    if (from.empty() || count == 0) return Variant(src);
    GrowingText out;
    Finder finder(f, src, from, mode == 1);
    std::u16string_view rest(src);
    size_t pos = 0;
    int32_t done = 0;
    for (;;) {
        if (count >= 0 && done >= count) break;
        size_t p = finder.find(pos);
        if (p == std::u16string::npos) break;
        out.append(rest.substr(pos, p - pos));
        out.append(to);
        pos = p + from.size();
        ++done;
    }
    out.append(rest.substr(pos));
    return Variant(std::move(out.text));
}

VBS_FN(fnSplit) {
    if (a[0].isNull()) throw ScriptError(94);
    std::u16string s = argString(a, 0);
    std::u16string delim = a.size() > 1 && !a[1].isEmpty() ? argString(a, 1) : std::u16string(u" ");
    if (a.size() > 1 && a[1].isNull()) return Variant::null();
    int32_t limit = hasArg(a, 2) ? argLong(a, 2) : -1;
    if (limit < -1) throw ScriptError(5);
    int mode = compareMode(a, 3);
    if (mode == 2) throw ScriptError(5); // Split knows only binary and text comparison
    std::vector<Variant> parts;
    if (s.empty() || limit == 0) return Variant::fromVector({});
    if (delim.empty()) {
        parts.push_back(Variant(s));
        return Variant::fromVector(std::move(parts));
    }
    Finder finder(f, s, delim, mode == 1);
    size_t pos = 0;
    for (;;) {
        if (limit > 0 && static_cast<int32_t>(parts.size()) == limit - 1) {
            parts.push_back(Variant(s.substr(pos)));
            break;
        }
        if (parts.size() == parts.capacity()) requireMemory(2 * parts.size() * sizeof(Variant));
        size_t p = finder.find(pos);
        if (p == std::u16string::npos) {
            parts.push_back(Variant(s.substr(pos)));
            break;
        }
        parts.push_back(Variant(s.substr(pos, p - pos)));
        pos = p + delim.size();
    }
    return Variant::fromVector(std::move(parts));
}

VBS_FN(fnJoin) {
    Variant held;
    const Variant& arr = valueOf(a[0], held); // an object without a default value fails with 438
    if (arr.isNull()) throw ScriptError(94);
    if (!arr.isArray() || arr.array().dimensions() > 1) throw ScriptError(13);
    std::u16string delim =
        a.size() > 1 ? (a[1].isNull() ? throw ScriptError(94) : argString(a, 1)) : std::u16string(u" ");
    GrowingText out;
    bool first = true;
    for (const auto& v : arr.array().items) {
        if (!first) out.append(delim);
        first = false;
        Variant tmp;
        const Variant& x = valueOf(v, tmp);
        if (x.isNull() || x.isArray()) throw ScriptError(13);
        if (x.isString())
            out.append(x.string());
        else
            out.append(x.toString());
    }
    return Variant(std::move(out.text));
}

VBS_FN(fnFilter) {
    const Variant& arr = a[0];
    if (arr.isNull()) throw ScriptError(94);
    if (!arr.isArray()) throw ScriptError(13);
    if (arr.array().dimensions() != 1) throw ScriptError(5);
    if (a[1].isNull()) throw ScriptError(94);
    std::u16string match = argString(a, 1);
    bool include = hasArg(a, 2) ? argValue(a, 2).toBool() : true;
    int mode = compareMode(a, 3);
    std::vector<Variant> out;
    for (const auto& v : arr.array().items) {
        Variant tmp;
        const Variant& x = valueOf(v, tmp);
        if (x.isNull()) throw ScriptError(94);
        std::u16string s = x.toString();
        bool found = Finder(f, s, match, mode == 1).find(0) != std::u16string::npos;
        if (found == include) out.push_back(Variant(s));
    }
    return Variant::fromVector(std::move(out));
}

VBS_FN(fnUCase) {
    Variant v = argValue(a, 0);
    if (v.isNull()) return Variant::null();
    return Variant(vbscript::lib::toUpper(v.toString()));
}
VBS_FN(fnLCase) {
    Variant v = argValue(a, 0);
    if (v.isNull()) return Variant::null();
    return Variant(vbscript::lib::toLower(v.toString()));
}

template <bool Left, bool Right> Variant trim(const CallArgs& a) {
    Variant v = argValue(a, 0);
    if (v.isNull()) return Variant::null();
    std::u16string s = v.toString();
    size_t b = 0, e = s.size();
    if (Left)
        while (b < e && s[b] == u' ')
            ++b;
    if (Right)
        while (e > b && s[e - 1] == u' ')
            --e;
    return Variant(s.substr(b, e - b));
}
VBS_FN(fnTrim) {
    return trim<true, true>(a);
}
VBS_FN(fnLTrim) {
    return trim<true, false>(a);
}
VBS_FN(fnRTrim) {
    return trim<false, true>(a);
}

VBS_FN(fnSpace) {
    int32_t n = countArg(a, 0);
    requireMemory(static_cast<size_t>(n) * sizeof(char16_t));
    std::u16string s;
    s.reserve(static_cast<size_t>(n));
    appendPolled(s, static_cast<size_t>(n), u' ');
    return Variant(std::move(s));
}

char16_t charFromCode(int32_t c) {
    if (c < 0 || c > 255) throw ScriptError(5);
    if (c >= 0x80 && c < 0xA0) return lib::kWindows1252High[c - 0x80];
    return static_cast<char16_t>(c);
}

VBS_FN(fnString) {
    int32_t n = countArg(a, 0);
    Variant c = argValue(a, 1);
    if (c.isNull()) return Variant::null();
    char16_t ch;
    if (c.isString()) {
        if (c.string().empty()) throw ScriptError(5);
        ch = c.string()[0];
    } else {
        int32_t code = c.toLong();
        ch = static_cast<char16_t>(code < 0 ? (code % 256 + 256) % 256 : code % 256);
    }
    requireMemory(static_cast<size_t>(n) * sizeof(char16_t));
    std::u16string s;
    s.reserve(static_cast<size_t>(n));
    appendPolled(s, static_cast<size_t>(n), ch);
    return Variant(std::move(s));
}

VBS_FN(fnStrReverse) {
    Variant v = argValue(a, 0);
    if (v.isNull()) throw ScriptError(94);
    std::u16string s = v.toString();
    return Variant(std::u16string(s.rbegin(), s.rend()));
}

VBS_FN(fnStrComp) {
    int mode = compareMode(a, 2);
    if (a[0].isNull() || a[1].isNull()) return Variant::null();
    int r = compareStrings(argString(a, 0), argString(a, 1), mode == 1);
    return Variant::fromInteger(static_cast<int16_t>(r));
}

VBS_FN(fnAsc) {
    Variant v = argValue(a, 0);
    if (v.isNull()) throw ScriptError(94);
    std::u16string s = v.toString();
    if (s.empty()) throw ScriptError(5);
    char16_t c = s[0];
    if (c < 0x80 || (c >= 0xA0 && c < 0x100)) return Variant::fromInteger(static_cast<int16_t>(c));
    for (int i = 0; i < 32; ++i)
        if (lib::kWindows1252High[i] == c) return Variant::fromInteger(static_cast<int16_t>(0x80 + i));
    return Variant::fromInteger(63);
}
VBS_FN(fnAscW) {
    Variant v = argValue(a, 0);
    if (v.isNull()) throw ScriptError(94);
    std::u16string s = v.toString();
    if (s.empty()) throw ScriptError(5);
    return Variant::fromInteger(static_cast<int16_t>(s[0]));
}
VBS_FN(fnAscB) {
    Variant v = argValue(a, 0);
    std::u16string s = v.toString();
    if (s.empty()) throw ScriptError(5);
    return Variant::fromByte(static_cast<uint8_t>(s[0] & 0xFF));
}
VBS_FN(fnChr) {
    Variant v = argValue(a, 0);
    if (v.isNull()) throw ScriptError(94);
    return Variant(std::u16string(1, charFromCode(v.toLong())));
}
VBS_FN(fnChrW) {
    Variant v = argValue(a, 0);
    if (v.isNull()) throw ScriptError(94);
    int32_t c = v.toLong();
    if (c < -32768 || c > 65535) throw ScriptError(5);
    return Variant(std::u16string(1, static_cast<char16_t>(c & 0xFFFF)));
}
VBS_FN(fnChrB) {
    int32_t c = argLong(a, 0);
    if (c < 0 || c > 255) throw ScriptError(6); // ChrB overflows a byte rather than rejecting the call
    return Variant(std::u16string(1, static_cast<char16_t>(c)));
}

// The byte functions count two bytes per UTF-16 unit; odd byte counts round down to whole units.
VBS_FN(fnLeftB) {
    if (isNullArg(a, 0)) return Variant::null();
    std::u16string s = argString(a, 0);
    size_t n = static_cast<size_t>(countArg(a, 1)) / 2;
    return Variant(s.substr(0, std::min(n, s.size())));
}
VBS_FN(fnRightB) {
    if (isNullArg(a, 0)) return Variant::null();
    std::u16string s = argString(a, 0);
    size_t n = std::min(static_cast<size_t>(countArg(a, 1)) / 2, s.size());
    return Variant(s.substr(s.size() - n));
}
VBS_FN(fnMidB) {
    if (isNullArg(a, 0)) return Variant::null();
    std::u16string s = argString(a, 0);
    int32_t start = argLong(a, 1);
    if (start < 1) throw ScriptError(5);
    size_t st = static_cast<size_t>(start - 1) / 2;
    if (st >= s.size()) return Variant(std::u16string());
    if (a.size() > 2) {
        int32_t len = countArg(a, 2);
        return Variant(s.substr(st, static_cast<size_t>(len) / 2));
    }
    return Variant(s.substr(st));
}
VBS_FN(fnInStrB) {
    size_t i = 0;
    int32_t start = 1;
    if (a.size() >= 3) {
        start = argLong(a, 0);
        if (start < 1) throw ScriptError(5);
        i = 1;
    }
    if (a[i].isNull() || a[i + 1].isNull()) return Variant::null();
    std::u16string s = argString(a, i), t = argString(a, i + 1);
    if (t.empty()) return Variant::fromLong(start);
    size_t p = Finder(f, s, t, false).find(static_cast<size_t>(start - 1) / 2);
    return Variant::fromLong(p == std::u16string::npos ? 0 : static_cast<int32_t>(p * 2 + 1));
}

vbscript::lib::NumberFormatOptions formatOptions(const CallArgs& a) {
    vbscript::lib::NumberFormatOptions o;
    if (hasArg(a, 1)) o.digitsAfterPoint = argLong(a, 1);
    if (hasArg(a, 2)) o.leadingDigit = argLong(a, 2);
    if (hasArg(a, 3)) o.parensForNegative = argLong(a, 3);
    if (hasArg(a, 4)) o.groupDigits = argLong(a, 4);
    return o;
}
double formatValue(const CallArgs& a) {
    Variant v = argValue(a, 0);
    if (v.isNull()) throw ScriptError(94);
    return v.toDouble();
}
VBS_FN(fnFormatNumber) {
    if (a[0].isNull()) throw ScriptError(13);
    for (size_t i = 1; i < a.size(); ++i)
        if (a[i].isNull()) throw ScriptError(94);
    double d = formatValue(a);
    auto o = formatOptions(a);
    return Variant(libCall([&] { return vbscript::lib::formatNumber(d, o); }));
}
VBS_FN(fnFormatCurrency) {
    if (a[0].isNull()) throw ScriptError(13);
    for (size_t i = 1; i < a.size(); ++i)
        if (a[i].isNull()) throw ScriptError(94);
    double d = formatValue(a);
    auto o = formatOptions(a);
    return Variant(libCall([&] { return vbscript::lib::formatCurrency(d, o); }));
}
VBS_FN(fnFormatPercent) {
    if (a[0].isNull()) throw ScriptError(13);
    for (size_t i = 1; i < a.size(); ++i)
        if (a[i].isNull()) throw ScriptError(94);
    double d = formatValue(a);
    auto o = formatOptions(a);
    return Variant(libCall([&] { return vbscript::lib::formatPercent(d, o); }));
}
VBS_FN(fnEscape) {
    if (a[0].isNull()) throw ScriptError(94);
    return Variant(vbscript::lib::escape(argString(a, 0)));
}
VBS_FN(fnUnescape) {
    if (a[0].isNull()) throw ScriptError(94);
    return Variant(vbscript::lib::unescape(argString(a, 0)));
}

} // namespace

const Builtin kStringBuiltins[] = {
    {u"Len", fnLen, 1, 1},
    {u"LenB", fnLenB, 1, 1},
    {u"Left", fnLeft, 2, 2},
    {u"Right", fnRight, 2, 2},
    {u"Mid", fnMid, 2, 3},
    {u"InStr", fnInStr, 2, 4},
    {u"InStrRev", fnInStrRev, 2, 4},
    {u"Replace", fnReplace, 3, 6},
    {u"Split", fnSplit, 1, 4},
    {u"Join", fnJoin, 1, 2},
    {u"Filter", fnFilter, 2, 4},
    {u"UCase", fnUCase, 1, 1},
    {u"LCase", fnLCase, 1, 1},
    {u"Trim", fnTrim, 1, 1},
    {u"LTrim", fnLTrim, 1, 1},
    {u"RTrim", fnRTrim, 1, 1},
    {u"Space", fnSpace, 1, 1},
    {u"String", fnString, 2, 2},
    {u"StrReverse", fnStrReverse, 1, 1},
    {u"StrComp", fnStrComp, 2, 3},
    {u"Asc", fnAsc, 1, 1},
    {u"AscW", fnAscW, 1, 1},
    {u"AscB", fnAscB, 1, 1},
    {u"Chr", fnChr, 1, 1},
    {u"ChrW", fnChrW, 1, 1},
    {u"ChrB", fnChrB, 1, 1},
    {u"FormatNumber", fnFormatNumber, 1, 5},
    {u"FormatCurrency", fnFormatCurrency, 1, 5},
    {u"FormatPercent", fnFormatPercent, 1, 5},
    {u"LeftB", fnLeftB, 2, 2},
    {u"RightB", fnRightB, 2, 2},
    {u"MidB", fnMidB, 2, 3},
    {u"InStrB", fnInStrB, 2, 4},
    {u"Escape", fnEscape, 1, 1},
    {u"Unescape", fnUnescape, 1, 1},
};
const size_t kStringBuiltinCount = std::size(kStringBuiltins);

} // namespace vbscript::detail
