#include "ShownText.h"

#include "vbscript/Variant.h"

namespace vbscript::pluginrun {

namespace {

bool isControl(char16_t c) {
    return c < 0x20 || c == 0x7F;
}

const char* controlName(char16_t c, char16_t next) {
    if (c == u'\r' && next == u'\n') return "vbCrLf";
    if (c == u'\r') return "vbCr";
    if (c == u'\n') return "vbLf";
    if (c == u'\t') return "vbTab";
    return nullptr;
}

} // namespace

std::string scriptLiteral(std::u16string_view text) {
    std::string out;
    std::u16string run;
    bool first = true;
    auto part = [&](const std::string& p) {
        if (!first) out += " & ";
        out += p;
        first = false;
    };
    auto flush = [&] {
        if (run.empty()) return;
        std::string quoted = "\"";
        for (char c : toUtf8(run))
            quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
        part(quoted + "\"");
        run.clear();
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (!isControl(c)) {
            run += c;
            continue;
        }
        flush();
        const char* name = controlName(c, i + 1 < text.size() ? text[i + 1] : u'\0');
        if (name && std::string(name) == "vbCrLf") ++i;
        part(name ? name : "Chr(" + std::to_string(static_cast<int>(c)) + ")");
    }
    flush();
    return first ? std::string("\"\"") : out;
}

std::string shownText(std::u16string_view text) {
    for (char16_t c : text)
        if (isControl(c)) return scriptLiteral(text);
    return toUtf8(text);
}

} // namespace vbscript::pluginrun
