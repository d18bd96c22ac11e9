// The script's value type: a VBScript Variant with its subtypes, conversions and arrays.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vbscript {

class HostObject;
class ArrayData;

// Subtype codes, numbered as VarType() returns them.
enum class VarType : uint16_t {
    Empty = 0,
    Null = 1,
    Integer = 2,
    Long = 3,
    Single = 4,
    Double = 5,
    Currency = 6,
    Date = 7,
    String = 8,
    Object = 9,
    Error = 10,
    Boolean = 11,
    Variant = 12,
    Byte = 17,
    Array = 8192, // combined with Variant: arrays always hold Variants
};

class Variant {
public:
    Variant() noexcept {}                            // Empty
    Variant(bool b) noexcept;                        // Boolean (True is -1)
    Variant(int32_t v) noexcept;                     // Long
    Variant(double v) noexcept;                      // Double
    Variant(std::u16string s);                       // String
    Variant(std::u16string_view s);                  // String
    Variant(const char16_t* s);                      // String
    Variant(std::string_view utf8);                  // String, from UTF-8 text
    Variant(const char* utf8);                       // String, from UTF-8 text (not Boolean)
    Variant(std::shared_ptr<HostObject> o) noexcept; // Object; a null pointer is Nothing

    static Variant null();
    static Variant nothing();
    static Variant fromByte(uint8_t v);
    static Variant fromInteger(int16_t v);
    static Variant fromLong(int32_t v);
    static Variant fromSingle(float v);
    static Variant fromDouble(double v);
    static Variant fromCurrency(int64_t scaled); // value * 10000
    static Variant fromDate(double oleDate);     // days since 1899-12-30, time as the fraction
    static Variant fromError(int32_t code);
    static Variant fromArray(ArrayData array);
    // A one-dimensional array 0..n-1 of the given values.
    static Variant fromVector(std::vector<Variant> items);

    // Arrays are values: copying copies the elements. Scalars take the inline paths below, which
    // is most of what a script does.
    Variant(const Variant& other) : type_(other.type_), u_(other.u_) {
        if (holdsResource(type_)) copyFrom(other);
    }
    Variant(Variant&& other) noexcept
        : type_(other.type_), u_(other.u_), str_(std::move(other.str_)), obj_(std::move(other.obj_)),
          arr_(std::move(other.arr_)) {
        other.type_ = VarType::Empty;
    }
    Variant& operator=(const Variant& other) {
        if (!holdsResource(type_) && !holdsResource(other.type_)) {
            type_ = other.type_;
            u_ = other.u_;
            return *this;
        }
        return copyAssign(other);
    }
    Variant& operator=(Variant&& other) noexcept {
        if (!holdsResource(type_) && !holdsResource(other.type_)) {
            type_ = other.type_;
            u_ = other.u_;
            other.type_ = VarType::Empty;
            return *this;
        }
        return moveAssign(other);
    }
    // Kept inline: temporaries are destroyed on every evaluation step.
    [[gnu::always_inline]] ~Variant() = default;

    VarType type() const noexcept { return type_; }
    bool isEmpty() const noexcept { return type_ == VarType::Empty; }
    bool isNull() const noexcept { return type_ == VarType::Null; }
    bool isObject() const noexcept { return type_ == VarType::Object; }
    bool isArray() const noexcept { return type_ == VarType::Array; }
    bool isString() const noexcept { return type_ == VarType::String; }
    bool isNumeric() const noexcept; // a number, Boolean, Date or Empty subtype (no conversion)

    // Raw access; the subtype must match.
    bool boolean() const noexcept { return u_.i32 != 0; }
    uint8_t byteValue() const noexcept { return u_.u8; }
    int16_t integer() const noexcept { return u_.i16; }
    int32_t longValue() const noexcept { return u_.i32; }
    float single() const noexcept { return u_.f32; }
    double dbl() const noexcept { return u_.f64; }
    int64_t currency() const noexcept { return u_.cy; }
    double date() const noexcept { return u_.f64; }
    int32_t errorCode() const noexcept { return u_.i32; }
    const std::u16string& string() const noexcept { return str_; }
    std::u16string& string() noexcept { return str_; }
    const std::shared_ptr<HostObject>& object() const noexcept { return obj_; }
    ArrayData& array() noexcept { return *arr_; }
    const ArrayData& array() const noexcept { return *arr_; }

    // Conversions by VBScript's rules (CBool, CLng, CDbl, CStr, ...). They throw ScriptError:
    // 13 Type mismatch, 6 Overflow, 94 Invalid use of Null.
    bool toBool() const;
    uint8_t toByte() const;
    int16_t toInteger() const;
    int32_t toLong() const;
    float toSingle() const;
    double toDouble() const;
    int64_t toCurrency() const;
    double toDate() const;
    std::u16string toString() const;

private:
    // Only these subtypes keep anything in str_, obj_ or arr_.
    static constexpr bool holdsResource(VarType t) noexcept {
        return t == VarType::String || t == VarType::Object || t == VarType::Array;
    }
    Variant& copyAssign(const Variant& other);
    Variant& moveAssign(Variant& other) noexcept;
    void release() noexcept;
    void copyFrom(const Variant& other);

    VarType type_ = VarType::Empty;
    union {
        int32_t i32;
        int16_t i16;
        uint8_t u8;
        float f32;
        double f64;
        int64_t cy;
    } u_{};
    std::u16string str_;
    std::shared_ptr<HostObject> obj_;
    std::unique_ptr<ArrayData> arr_;
};

// A VBScript array: one or more dimensions, each with a lower bound and a count, elements in
// column-major order (the first index varies fastest).
class ArrayData {
public:
    struct Bound {
        int32_t lower = 0;
        int32_t count = 0;
    };
    ArrayData() = default;
    explicit ArrayData(std::vector<Bound> bounds); // elements start Empty

    std::vector<Bound> bounds;
    std::vector<Variant> items;
    // Non-zero while an element is passed ByRef or a For Each walks it: ReDim and Erase then fail
    // with error 10. `fixed` marks arrays declared with a size (Dim a(3)), which ReDim may not change.
    int locks = 0;
    bool fixed = false;

    int dimensions() const noexcept { return static_cast<int>(bounds.size()); }
    // The element at the given indexes, or nullptr when one is out of range.
    Variant* at(const int32_t* indexes, size_t n) noexcept;
};

// The value as text, the way `&` joins it: Null and Empty are "", an object gives its default member's
// value. Throws ScriptError: 13 for an array, 438 for an object without a default member.
std::u16string toText(const Variant& v);

// Case-insensitive (ASCII and Latin) comparison of names, as the script treats identifiers.
bool namesEqual(std::u16string_view a, std::u16string_view b) noexcept;
// Converts between UTF-8 and the script's UTF-16 strings.
std::u16string fromUtf8(std::string_view s);
std::string toUtf8(std::u16string_view s);
// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool isValidUtf8(std::string_view s) noexcept;
// Decodes 8-bit Windows-1252 text; every byte decodes (the five undefined ones to C1 controls).
std::u16string fromWindows1252(std::string_view s);

} // namespace vbscript
