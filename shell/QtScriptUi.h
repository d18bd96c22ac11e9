#pragma once

#include "vbscript/ScriptHost.h"

namespace qz {

// MsgBox and InputBox of plugin scripts as real dialogs.
class QtScriptUi : public vbscript::ScriptUi {
public:
    int msgBox(const std::u16string& prompt, int buttons, const std::u16string& title) override;
    std::optional<std::u16string> inputBox(const std::u16string& prompt, const std::u16string& title,
                                           const std::u16string& defaultText) override;
};

} // namespace qz
