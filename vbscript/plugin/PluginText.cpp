#include "vbscript/plugin/PluginText.h"

#include "vbscript/Variant.h"

namespace vbscript::plugin {

std::u16string pluginName(std::u16string_view fileName) {
    const size_t slash = fileName.find_last_of(u"/\\");
    if (slash != std::u16string_view::npos) fileName.remove_prefix(slash + 1);
    return std::u16string(fileName.substr(0, fileName.find(u".qzp")));
}

std::u16string scriptText(std::string_view bytes) {
    std::u16string text = isValidUtf8(bytes) ? fromUtf8(bytes) : fromWindows1252(bytes);
    std::u16string_view rest(text);
    if (rest.starts_with(u'\uFEFF')) rest.remove_prefix(1);
    std::u16string out;
    out.reserve(rest.size() + rest.size() / 16 + 2);
    while (!rest.empty()) {
        const size_t end = rest.find_first_of(u"\r\n");
        out.append(rest.substr(0, end));
        out.append(u"\r\n");
        if (end == std::u16string_view::npos) break;
        const bool crlf = rest[end] == u'\r' && end + 1 < rest.size() && rest[end + 1] == u'\n';
        rest.remove_prefix(end + (crlf ? 2 : 1));
    }
    return out;
}

} // namespace vbscript::plugin
