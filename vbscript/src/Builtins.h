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
// Calls a runtime-library function, turning its errors into script errors.
template <typename F> auto libCall(F f) -> decltype(f());

extern const Builtin kStringBuiltins[];
extern const size_t kStringBuiltinCount;

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
