// The interface through which the embedder (and the interpreter's own objects) offer objects to scripts.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "vbscript/ScriptError.h"
#include "vbscript/Variant.h"

namespace vbscript {

enum class InvokeKind {
    Get,  // read a property (or call a method for its value)
    Let,  // assign a value to a property; the value is the last argument
    Set,  // assign an object reference (Set obj.Prop = x); the value is the last argument
    Call, // call a method as a statement; the result is ignored
};

// The arguments of one member call, in script order. values[i] points at the caller's variable when
// the argument was passed by reference: writing through it changes that variable.
struct CallArgs {
    std::span<Variant* const> values;
    uint64_t byRefMask = 0; // bit i set when values[i] is the caller's own variable

    size_t size() const noexcept { return values.size(); }
    Variant& operator[](size_t i) const noexcept { return *values[i]; }
    bool isByRef(size_t i) const noexcept { return i < 64 && (byRefMask >> i & 1u); }
};

// Walks a collection for For Each.
class Enumerator {
public:
    virtual ~Enumerator() = default;
    // Puts the next element in `out` and returns true, or returns false at the end.
    virtual bool next(Variant& out) = 0;
};

// An object that scripts can use. Objects are shared: a script holds them through shared_ptr.
class HostObject : public std::enable_shared_from_this<HostObject> {
public:
    static constexpr int kNoMember = -1;

    virtual ~HostObject() = default;

    // The id (0 or more) of the member called `name`, compared without regard to case, or kNoMember.
    virtual int findMember(std::u16string_view name) = 0;
    // The id of the member that `obj(args)`, `obj(i) = v` and `obj` used as a value reach, or kNoMember
    // when the object has none (those uses are then error 438).
    virtual int defaultMember() const { return kNoMember; }
    // Runs member `memberId`. Failures are reported by throwing ScriptError; an unknown member or a
    // kind the member does not support is ScriptError(438).
    virtual Variant invoke(int memberId, InvokeKind kind, const CallArgs& args) = 0;
    // What TypeName() shows for the object.
    virtual std::u16string typeName() const { return u"Object"; }
    // An enumerator for For Each, or nullptr when the object is not a collection (error 451).
    virtual std::unique_ptr<Enumerator> enumerate() { return nullptr; }
};

// Runs the object's default member; ScriptError(438) when it has none.
Variant invokeDefault(HostObject& object, InvokeKind kind, const CallArgs& args);

} // namespace vbscript
