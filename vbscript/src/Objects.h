// The objects built into the interpreter: Err, Scripting.Dictionary, RegExp and its match collections.
#pragma once

#include <memory>

#include "Runtime.h"

namespace vbscript::detail {

// A built-in object whose members are listed by name; member ids are 1 + the index in the list.
class NamedMemberObject : public BuiltinObject {
public:
    int findMember(std::u16string_view name) override;

protected:
    virtual std::span<const char16_t* const> memberNames() const = 0;
};

std::shared_ptr<HostObject> makeErrObject(Interp* in);
std::shared_ptr<HostObject> makeDictionary();
std::shared_ptr<HostObject> makeRegExp(Interp* in);

} // namespace vbscript::detail
