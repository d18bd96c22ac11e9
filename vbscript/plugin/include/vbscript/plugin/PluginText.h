// Quorzel's plugin files as the script host gets them; shared by the program and `vbsrun --plugin`, so
// that a plugin tried in the terminal reads exactly as the program reads it.
#pragma once

#include <string>
#include <string_view>

namespace vbscript::plugin {

// The plugin name of a plugin file: the file name (without folder) cut before its first ".qzp", so
// "a.qzp.qzp" gives "a"; a name without ".qzp" stays whole.
std::u16string pluginName(std::u16string_view fileName);

// A plugin file's bytes as script text: decoded as UTF-8 when they are valid UTF-8, else as
// Windows-1252, a leading byte-order mark left out; every line, ended by CR LF, by CR or by LF (or by
// the end of the file), followed by CR LF.
std::u16string scriptText(std::string_view bytes);

} // namespace vbscript::plugin
