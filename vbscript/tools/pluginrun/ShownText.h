// Texts as the recording objects print them: line breaks and other control characters written the way a
// VBScript author would write them, so every printed call stays on one line.
#pragma once

#include <string>
#include <string_view>

namespace vbscript::pluginrun {

// A VBScript expression for the text: "Hi" & vbLf & "there".
std::string scriptLiteral(std::u16string_view text);
// The text itself when it holds no control character, else scriptLiteral(text).
std::string shownText(std::u16string_view text);

} // namespace vbscript::pluginrun
