// Helpers shared by the built-in function files.
#pragma once

#include "Runtime.h"

namespace vbscript::detail {

// The argument's value; objects give their default member's value.
Variant argValue(const CallArgs& a, size_t i);
// True when argument i is present and not Empty (optional arguments).
bool hasArg(const CallArgs& a, size_t i);
std::u16string argString(const CallArgs& a, size_t i);
int32_t argLong(const CallArgs& a, size_t i);
// A numeric argument as a Double; Null is error 94.
double numArg(const CallArgs& a, size_t i);
// Calls a runtime-library function, turning its errors into script errors.
template <typename F> auto libCall(F f) -> decltype(f());

// A built-in's definition; every built-in has the same signature.
#define VBS_FN(name) Variant name([[maybe_unused]] Frame& f, [[maybe_unused]] const CallArgs& a)

// The tables of the built-in files, gathered by findBuiltin.
extern const Builtin kStringBuiltins[];
extern const size_t kStringBuiltinCount;
extern const Builtin kNumberBuiltins[];
extern const size_t kNumberBuiltinCount;
extern const Builtin kDateBuiltins[];
extern const size_t kDateBuiltinCount;

} // namespace vbscript::detail

#include "lib/LibError.h"
#include "vbscript/ScriptError.h"

namespace vbscript::detail {
template <typename F> auto libCall(F f) -> decltype(f()) {
    try {
        return f();
    } catch (const vbscript::lib::LibError& e) {
        throw ScriptError(e.number);
    }
}
} // namespace vbscript::detail
