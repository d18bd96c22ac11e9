// libFuzzer target: any text given to AddCode, then a Run of "main", must end in a result or a reported
// error: never a crash, a sanitizer report or a run past the time-out.

#include "vbscript/HostObject.h"
#include "vbscript/ScriptHost.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace {

// UTF-8 when it decodes, otherwise each byte as one unit, so every input is some script text.
std::u16string decode(const std::uint8_t* data, std::size_t size) {
    std::u16string text;
    text.reserve(size);
    std::size_t i = 0;
    while (i < size) {
        std::uint8_t b = data[i];
        if (b >= 0xC2 && b <= 0xDF && i + 1 < size && (data[i + 1] & 0xC0) == 0x80) {
            text += static_cast<char16_t>(((b & 0x1F) << 6) | (data[i + 1] & 0x3F));
            i += 2;
        } else if (b >= 0xE0 && b <= 0xEF && i + 2 < size && (data[i + 1] & 0xC0) == 0x80 &&
                   (data[i + 2] & 0xC0) == 0x80) {
            text += static_cast<char16_t>(((b & 0x0F) << 12) | ((data[i + 1] & 0x3F) << 6) |
                                          (data[i + 2] & 0x3F));
            i += 3;
        } else {
            text += static_cast<char16_t>(b);
            i += 1;
        }
    }
    return text;
}

// A host object like the ones plugins see: a property, a method with a ByRef argument, a default member
// that takes an index, and a member that fails.
class FuzzObject : public vbscript::HostObject {
public:
    int findMember(std::u16string_view name) override {
        std::u16string lower;
        for (char16_t c : name)
            lower += (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
        if (lower == u"item") return 0;
        if (lower == u"text") return 1;
        if (lower == u"twice") return 2;
        if (lower == u"fail") return 3;
        return kNoMember;
    }

    int defaultMember() const override { return 0; }

    vbscript::Variant invoke(int memberId, vbscript::InvokeKind kind,
                             const vbscript::CallArgs& args) override {
        switch (memberId) {
        case 0:
            if (args.size() != 1) throw vbscript::ScriptError(450);
            return args[0];
        case 1:
            if (kind == vbscript::InvokeKind::Let || kind == vbscript::InvokeKind::Set) {
                if (args.size() == 0) throw vbscript::ScriptError(450);
                text_ = args[args.size() - 1];
                return {};
            }
            return text_;
        case 2:
            // Writes back through a ByRef argument, as a host method may.
            if (args.size() != 1) throw vbscript::ScriptError(450);
            if (args.isByRef(0)) args[0] = vbscript::Variant(std::u16string(u"changed"));
            return {};
        case 3:
            throw vbscript::ScriptError(9);
        default:
            throw vbscript::ScriptError(438);
        }
    }

private:
    vbscript::Variant text_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vbscript::ScriptHost host;
    host.setTimeout(std::chrono::milliseconds(250));
    host.setErrorHandler([](const vbscript::ScriptErrorInfo&) {});
    host.addObject(u"host", std::make_shared<FuzzObject>(), true);
    host.addCode(decode(data, size));
    host.run(u"main");
    return 0;
}
