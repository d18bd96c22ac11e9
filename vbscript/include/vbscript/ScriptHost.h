// The embedding API: one script engine with named objects, code, procedure runs and error reports.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// A procedure of the loaded code, as ScriptHost::procedures() lists it.
struct ProcedureInfo {
    std::u16string name;     // as the code writes it
    bool isFunction = false; // a Function, which returns a value; else a Sub
    int parameterCount = 0;
};

// One script engine. Apart from interrupt() and stopRequested(), a host is used from one thread at a
// time; hosts are independent of each other.
class ScriptHost {
public:
    using ErrorHandler = std::function<void(const ScriptErrorInfo&)>;

    // `ui` may be null: MsgBox then returns vbOK and InputBox an empty string. It must outlive the host.
    explicit ScriptHost(ScriptUi* ui = nullptr);
    ~ScriptHost();
    ScriptHost(const ScriptHost&) = delete;
    ScriptHost& operator=(const ScriptHost&) = delete;

    // Drops all code (procedures, classes, variables) and every object that addObject added; the
    // settings (error handler, time-out, memory budget) stay.
    void reset();
    // Makes `object` reachable as `name`; with membersGlobal its members are also reachable bare.
    void addObject(std::u16string_view name, std::shared_ptr<HostObject> object, bool membersGlobal);
    // Compiles the whole text, then runs its top-level statements. False after an error (reported).
    bool addCode(std::u16string_view text);
    // Runs the Sub or Function `procedureName` with `args` (passed by value) and returns its value (Empty
    // for a Sub); nullopt after an error (reported), an unknown name or a wrong number of arguments
    // included.
    std::optional<Variant> run(std::u16string_view procedureName, std::vector<Variant> args = {});
    // True when the loaded code has a Sub or Function of that name (letter case aside), so that optional
    // entry points can be run only when they exist.
    bool hasProcedure(std::u16string_view procedureName) const;
    // The loaded code's Subs and Functions, in the order they were defined.
    std::vector<ProcedureInfo> procedures() const;
    // Evaluates an expression in the global scope; nullopt after an error (reported).
    std::optional<Variant> eval(std::u16string_view expression);

    // Thread-safe: the running addCode, run or eval stops at its next statement with error
    // kTimeoutErrorNumber ("The script was stopped"), which On Error cannot catch. No effect when
    // nothing runs.
    void interrupt();
    // Thread-safe and cheap: true once the running script has to stop, because its time is up or
    // interrupt() was called. A host member that works for long polls it and then throws ScriptStopped,
    // which ends the run with the time-out's error.
    bool stopRequested() const noexcept;

    // Receives every error of addCode, run and eval.
    void setErrorHandler(ErrorHandler handler);
    // The time one addCode, run or eval may take, nested runs included; zero means no limit. Default
    // 10 000 ms. A watchdog thread enforces it, whatever the statements do.
    void setTimeout(std::chrono::milliseconds timeout);
    std::chrono::milliseconds timeout() const;
    // The bytes that the script's strings and arrays (and the objects holding them) may take at once;
    // beyond it the script gets error 7 "Out of memory", which On Error catches like any runtime error.
    // Zero means no limit. Default 512 MB.
    void setMemoryBudget(size_t bytes);
    size_t memoryBudget() const;
    // The last error reported, if any since the last reset.
    const std::optional<ScriptErrorInfo>& lastError() const;

    class Impl;

private:
    std::unique_ptr<Impl> impl_;
};

} // namespace vbscript
