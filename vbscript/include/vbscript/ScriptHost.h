// The embedding API: one script engine with named objects, code, procedure runs and error reports.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "vbscript/HostObject.h"
#include "vbscript/ScriptError.h"
#include "vbscript/Variant.h"

namespace vbscript {

// Where MsgBox and InputBox go: the desktop program shows dialogs, a console runner uses the terminal.
class ScriptUi {
public:
    virtual ~ScriptUi() = default;
    // Shows `prompt`; `buttons` is MsgBox's second argument (vbOKCancel, vbQuestion, ...). Returns the
    // pressed button's value (vbOK = 1, vbCancel = 2, vbYes = 6, vbNo = 7, ...).
    virtual int msgBox(const std::u16string& prompt, int buttons, const std::u16string& title) = 0;
    // Asks for a line of text; nullopt when the user cancels (the script then gets an empty string).
    virtual std::optional<std::u16string> inputBox(const std::u16string& prompt, const std::u16string& title,
                                                   const std::u16string& defaultText) = 0;
};

class ScriptHost {
public:
    using ErrorHandler = std::function<void(const ScriptErrorInfo&)>;

    // `ui` may be null: MsgBox then returns vbOK and InputBox an empty string. It must outlive the host.
    explicit ScriptHost(ScriptUi* ui = nullptr);
    ~ScriptHost();
    ScriptHost(const ScriptHost&) = delete;
    ScriptHost& operator=(const ScriptHost&) = delete;

    // Drops every procedure, variable and object of earlier code; settings (time-out, handler) stay.
    void reset();
    // Makes `object` reachable as `name`; with membersGlobal its members are also reachable bare.
    void addObject(std::u16string_view name, std::shared_ptr<HostObject> object, bool membersGlobal);
    // Compiles the whole text, then runs its top-level statements. False after an error (reported).
    bool addCode(std::u16string_view text);
    // Runs the procedure `name` without arguments. False after an error (reported), including an
    // unknown procedure name.
    bool run(std::u16string_view procedureName);
    // Evaluates an expression in the global scope; nullopt after an error (reported).
    std::optional<Variant> eval(std::u16string_view expression);

    // Receives every error of addCode, run and eval.
    void setErrorHandler(ErrorHandler handler);
    // The time one addCode, run or eval may take; zero means no limit. Default 10 000 ms.
    void setTimeout(std::chrono::milliseconds timeout);
    std::chrono::milliseconds timeout() const;
    // The last error reported, if any since the last reset.
    const std::optional<ScriptErrorInfo>& lastError() const;

    class Impl;

private:
    std::unique_ptr<Impl> impl_;
};

} // namespace vbscript
