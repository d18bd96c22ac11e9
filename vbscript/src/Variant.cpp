#include "vbscript/Variant.h"

#include <cmath>

#include "Memory.h"
#include "lib/DateTime.h"
#include "lib/LibError.h"
#include "lib/NumberFormat.h"
#include "lib/Windows1252.h"
#include "vbscript/HostObject.h"
#include "vbscript/ScriptError.h"

namespace vbscript {

namespace {

// An object used as a value stands for its default member's value.
Variant objectValue(const Variant& v) {
    if (!v.object()) throw ScriptError(91);
    Variant* none = nullptr;
    CallArgs args{std::span<Variant* const>(&none, 0)};
    Variant r = invokeDefault(*v.object(), InvokeKind::Get, args);
    if (r.isObject()) throw ScriptError(13);
    return r;
}

template <typename F> auto libCall(F f) -> decltype(f()) {
    try {
        return f();
    } catch (const lib::LibError& e) {
        throw ScriptError(e.number);
    }
}

double stringToDouble(const std::u16string& s) {
    if (auto d = lib::parseNumber(s)) return *d;
    throw ScriptError(13);
}

} // namespace

Variant invokeDefault(HostObject& object, InvokeKind kind, const CallArgs& args) {
    int id = object.defaultMember();
    if (id == HostObject::kNoMember) throw ScriptError(438);
    return object.invoke(id, kind, args);
}

Variant::Variant(bool b) noexcept : type_(VarType::Boolean) {
    u_.i32 = b ? -1 : 0;
}
Variant::Variant(int32_t v) noexcept : type_(VarType::Long) {
    u_.i32 = v;
}
Variant::Variant(double v) noexcept : type_(VarType::Double) {
    u_.f64 = v;
}
Variant::Variant(std::u16string s) : type_(VarType::String), str_(std::move(s)) {
    detail::chargeMemory(detail::heapBytes(str_));
}
Variant::Variant(std::u16string_view s) : Variant(std::u16string(s)) {}
Variant::Variant(const char16_t* s) : Variant(std::u16string(s ? s : u"")) {}
Variant::Variant(std::string_view utf8) : Variant(fromUtf8(utf8)) {}
Variant::Variant(const char* utf8) : Variant(fromUtf8(utf8 ? std::string_view(utf8) : std::string_view())) {}
Variant::Variant(std::shared_ptr<HostObject> o) noexcept : type_(VarType::Object), obj_(std::move(o)) {}

Variant Variant::null() {
    Variant v;
    v.type_ = VarType::Null;
    return v;
}
Variant Variant::nothing() {
    return Variant(std::shared_ptr<HostObject>());
}
Variant Variant::fromByte(uint8_t x) {
    Variant v;
    v.type_ = VarType::Byte;
    v.u_.i32 = 0;
    v.u_.u8 = x;
    return v;
}
Variant Variant::fromInteger(int16_t x) {
    Variant v;
    v.type_ = VarType::Integer;
    v.u_.i32 = 0;
    v.u_.i16 = x;
    return v;
}
Variant Variant::fromLong(int32_t x) {
    return Variant(x);
}
Variant Variant::fromSingle(float x) {
    Variant v;
    v.type_ = VarType::Single;
    v.u_.f32 = x;
    return v;
}
Variant Variant::fromDouble(double x) {
    return Variant(x);
}
Variant Variant::fromCurrency(int64_t scaled) {
    Variant v;
    v.type_ = VarType::Currency;
    v.u_.cy = scaled;
    return v;
}
Variant Variant::fromDate(double d) {
    Variant v;
    v.type_ = VarType::Date;
    v.u_.f64 = d;
    return v;
}
Variant Variant::fromError(int32_t code) {
    Variant v;
    v.type_ = VarType::Error;
    v.u_.i32 = code;
    return v;
}
Variant Variant::fromArray(ArrayData array) {
    detail::chargeMemory(sizeof(ArrayData) + array.items.capacity() * sizeof(Variant));
    Variant v;
    v.type_ = VarType::Array;
    v.arr_ = std::make_unique<ArrayData>(std::move(array));
    return v;
}
Variant Variant::fromVector(std::vector<Variant> items) {
    ArrayData a;
    a.bounds.push_back({0, static_cast<int32_t>(items.size())});
    a.items = std::move(items);
    return fromArray(std::move(a));
}

Variant& Variant::copyAssign(const Variant& other) {
    if (this != &other) {
        Variant copy(other);
        moveAssign(copy);
    }
    return *this;
}
Variant& Variant::moveAssign(Variant& other) noexcept {
    if (this != &other) {
        // Keep the old contents alive until the new ones are in place: releasing an object may run
        // script code (Class_Terminate) that reads this variable.
        Variant old;
        old.type_ = type_;
        old.u_ = u_;
        old.str_ = std::move(str_);
        old.obj_ = std::move(obj_);
        old.arr_ = std::move(arr_);
        type_ = other.type_;
        u_ = other.u_;
        str_ = std::move(other.str_);
        obj_ = std::move(other.obj_);
        arr_ = std::move(other.arr_);
        other.type_ = VarType::Empty;
    }
    return *this;
}

void Variant::copyFrom(const Variant& other) {
    type_ = other.type_;
    u_ = other.u_;
    if (type_ == VarType::String) {
        detail::requireMemory(other.str_.size() * sizeof(char16_t));
        if (other.str_.size() > detail::kSlice) {
            str_.reserve(other.str_.size());
            detail::appendPolled(str_, other.str_);
        } else {
            str_ = other.str_;
        }
        detail::chargeMemory(detail::heapBytes(str_));
    } else if (type_ == VarType::Object) {
        obj_ = other.obj_;
    } else if (type_ == VarType::Array) {
        // A copy is never fixed: ReDim may resize what a copy received.
        const size_t bytes = sizeof(ArrayData) + other.arr_->items.size() * sizeof(Variant);
        detail::requireMemory(bytes);
        arr_ = std::make_unique<ArrayData>();
        arr_->bounds = other.arr_->bounds;
        arr_->items = other.arr_->items;
        detail::chargeMemory(bytes);
    }
}

bool Variant::isNumeric() const noexcept {
    switch (type_) {
    case VarType::Empty:
    case VarType::Boolean:
    case VarType::Byte:
    case VarType::Integer:
    case VarType::Long:
    case VarType::Single:
    case VarType::Double:
    case VarType::Currency:
    case VarType::Date:
        return true;
    default:
        return false;
    }
}

double Variant::toDouble() const {
    switch (type_) {
    case VarType::Empty:
        return 0;
    case VarType::Null:
        throw ScriptError(94);
    case VarType::Boolean:
    case VarType::Long:
        return u_.i32;
    case VarType::Integer:
        return u_.i16;
    case VarType::Byte:
        return u_.u8;
    case VarType::Single:
        return u_.f32;
    case VarType::Double:
    case VarType::Date:
        return u_.f64;
    case VarType::Currency:
        return static_cast<double>(u_.cy) / 10000.0;
    case VarType::String:
        return stringToDouble(str_);
    case VarType::Object:
        return objectValue(*this).toDouble();
    default:
        throw ScriptError(13);
    }
}

bool Variant::toBool() const {
    switch (type_) {
    case VarType::Empty:
        return false;
    case VarType::Null:
        throw ScriptError(94);
    case VarType::Boolean:
    case VarType::Long:
        return u_.i32 != 0;
    case VarType::Integer:
        return u_.i16 != 0;
    case VarType::Byte:
        return u_.u8 != 0;
    case VarType::Currency:
        return u_.cy != 0;
    case VarType::String: {
        if (namesEqual(str_, u"True") || namesEqual(str_, u"#TRUE#")) return true;
        if (namesEqual(str_, u"False") || namesEqual(str_, u"#FALSE#")) return false;
        return stringToDouble(str_) != 0;
    }
    case VarType::Object:
        return objectValue(*this).toBool();
    case VarType::Single:
    case VarType::Double:
    case VarType::Date:
        return toDouble() != 0;
    default:
        throw ScriptError(13);
    }
}

uint8_t Variant::toByte() const {
    switch (type_) {
    case VarType::Byte:
        return u_.u8;
    case VarType::Boolean:
        return u_.i32 ? 255 : 0;
    default:
        return libCall([&] { return lib::toByte(toDouble()); });
    }
}

int16_t Variant::toInteger() const {
    switch (type_) {
    case VarType::Integer:
        return u_.i16;
    case VarType::Boolean:
        return static_cast<int16_t>(u_.i32);
    case VarType::Byte:
        return u_.u8;
    default:
        return libCall([&] { return lib::toInteger(toDouble()); });
    }
}

int32_t Variant::toLong() const {
    switch (type_) {
    case VarType::Long:
    case VarType::Boolean:
        return u_.i32;
    case VarType::Integer:
        return u_.i16;
    case VarType::Byte:
        return u_.u8;
    default:
        return libCall([&] { return lib::toLong(toDouble()); });
    }
}

float Variant::toSingle() const {
    double d = toDouble();
    if (std::isfinite(d) && std::fabs(d) > 3.402823466e38) throw ScriptError(6);
    return static_cast<float>(d);
}

int64_t Variant::toCurrency() const {
    if (type_ == VarType::Currency) return u_.cy;
    return libCall([&] { return lib::toCurrency(toDouble()); });
}

double Variant::toDate() const {
    switch (type_) {
    case VarType::Date:
        return u_.f64;
    case VarType::String: {
        if (auto d = lib::parseDate(str_)) return *d;
        if (auto n = lib::parseNumber(str_)) {
            if (!lib::isValidDate(*n)) throw ScriptError(6);
            return *n;
        }
        throw ScriptError(13);
    }
    default: {
        double d = toDouble();
        if (!lib::isValidDate(d)) throw ScriptError(6);
        return d;
    }
    }
}

std::u16string toText(const Variant& v) {
    if (v.isObject()) return toText(objectValue(v));
    if (v.isNull() || v.isEmpty()) return {};
    if (v.isArray()) throw ScriptError(13);
    return v.toString();
}

std::u16string Variant::toString() const {
    switch (type_) {
    case VarType::Empty:
        return {};
    case VarType::Null:
        throw ScriptError(94);
    case VarType::Boolean:
        return u_.i32 ? u"True" : u"False";
    case VarType::Long:
    case VarType::Integer:
    case VarType::Byte: {
        std::string s = std::to_string(type_ == VarType::Long      ? u_.i32
                                       : type_ == VarType::Integer ? u_.i16
                                                                   : u_.u8);
        return std::u16string(s.begin(), s.end());
    }
    case VarType::Single:
        return lib::singleToString(u_.f32);
    case VarType::Double:
        return lib::doubleToString(u_.f64);
    case VarType::Currency:
        return lib::currencyToString(u_.cy);
    case VarType::Date:
        return libCall([&] { return lib::formatDate(u_.f64); });
    case VarType::String:
        return str_;
    case VarType::Object:
        return objectValue(*this).toString();
    case VarType::Error: {
        std::string s = "Error " + std::to_string(u_.i32);
        return std::u16string(s.begin(), s.end());
    }
    default:
        throw ScriptError(13);
    }
}

ArrayData::ArrayData(std::vector<Bound> b) : bounds(std::move(b)) {
    // A dynamic array not yet dimensioned (`Dim a()`) holds no element at all.
    size_t n = bounds.empty() ? 0 : 1;
    constexpr size_t kMost = SIZE_MAX / sizeof(Variant) / 2;
    for (auto& x : bounds) {
        const size_t count = static_cast<size_t>(x.count > 0 ? x.count : 0);
        if (count && n > kMost / count) throw ScriptError(7);
        n *= count;
    }
    detail::requireMemory(n * sizeof(Variant));
    // A slice at a time, like big strings: ReDim a(10000000) alone must not outrun the time-out.
    items.reserve(n);
    constexpr size_t kSliceItems = size_t(1) << 18;
    while (n - items.size() > kSliceItems) {
        items.resize(items.size() + kSliceItems);
        detail::pollRunningScript();
    }
    items.resize(n);
}

Variant* ArrayData::at(const int32_t* indexes, size_t n) noexcept {
    if (n != bounds.size()) return nullptr;
    size_t offset = 0, stride = 1;
    for (size_t i = 0; i < n; ++i) {
        int64_t k = static_cast<int64_t>(indexes[i]) - bounds[i].lower;
        if (k < 0 || k >= bounds[i].count) return nullptr;
        offset += static_cast<size_t>(k) * stride;
        stride *= static_cast<size_t>(bounds[i].count);
    }
    return offset < items.size() ? &items[offset] : nullptr;
}

static char16_t foldCase(char16_t c) noexcept {
    if (c >= u'a' && c <= u'z') return c - 32;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
    return c;
}

bool namesEqual(std::u16string_view a, std::u16string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i] && foldCase(a[i]) != foldCase(b[i])) return false;
    return true;
}

std::u16string fromUtf8(std::string_view s) {
    std::u16string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        uint32_t cp;
        int extra;
        if (c < 0x80)
            cp = c, extra = 0;
        else if ((c & 0xE0) == 0xC0)
            cp = c & 0x1F, extra = 1;
        else if ((c & 0xF0) == 0xE0)
            cp = c & 0x0F, extra = 2;
        else if ((c & 0xF8) == 0xF0)
            cp = c & 0x07, extra = 3;
        else {
            // Not UTF-8: take the byte as Windows-1252/Latin-1 so nothing is lost.
            out.push_back(c);
            ++i;
            continue;
        }
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            if (i + k >= s.size() || (static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        }
        if (!ok) {
            out.push_back(c);
            ++i;
            continue;
        }
        i += extra + 1;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

bool isValidUtf8(std::string_view s) noexcept {
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        int extra;
        uint32_t cp, least;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1, cp = c & 0x1F, least = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2, cp = c & 0x0F, least = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3, cp = c & 0x07, least = 0x10000;
        } else {
            return false;
        }
        if (s.size() - i <= static_cast<size_t>(extra)) return false;
        for (int k = 1; k <= extra; ++k) {
            const unsigned char d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (d & 0x3F);
        }
        // Overlong forms, surrogates and values beyond Unicode are not UTF-8.
        if (cp < least || (cp >= 0xD800 && cp < 0xE000) || cp > 0x10FFFF) return false;
        i += static_cast<size_t>(extra) + 1;
    }
    return true;
}

std::u16string fromWindows1252(std::string_view s) {
    std::u16string out(s.size(), u'\0');
    for (size_t i = 0; i < s.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        out[i] = c >= 0x80 && c < 0xA0 ? lib::kWindows1252High[c - 0x80] : static_cast<char16_t>(c);
    }
    return out;
}

std::string toUtf8(std::u16string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        uint32_t cp = s[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

} // namespace vbscript
