// Errors crossing the interpreter's boundary: thrown by host calls, reported to the embedder.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace vbscript {

// Thrown by a host object's member to fail the call; the script sees it as runtime error `number`
// (catchable with On Error). An empty description is filled with the standard text for the number.
class ScriptError : public std::runtime_error {
public:
    ScriptError(int32_t number, std::u16string description = {}, std::u16string source = {});

    int32_t number;
    std::u16string description;
    std::u16string source;
    // The name the error is about (a variable, procedure or member), when the interpreter knows it.
    // Reports to the host end with it, as "Variable is undefined: 'x'"; Err.Description does not.
    std::u16string name;
    // Help file and context, as Err.HelpFile / Err.HelpContext show them.
    std::u16string helpFile;
    int32_t helpContext = 0;
    // Where it happened (1-based), filled in by the interpreter as the error leaves a statement.
    int line = 0;
    int column = 0;
};

// The number reported when a run exceeds the host's time-out or the host stops it. On Error cannot
// catch it.
inline constexpr int32_t kTimeoutErrorNumber = 9990;

// Thrown by a host member that gives up because ScriptHost::stopRequested() said so: the run ends with
// error kTimeoutErrorNumber, which On Error cannot catch.
class ScriptStopped : public std::exception {
public:
    const char* what() const noexcept override { return "the script has to stop"; }
};

// What the error callback receives for every error in addCode and run.
struct ScriptErrorInfo {
    int32_t number = 0;
    std::u16string description; // with the name it is about, as "Variable is undefined: 'x'"
    std::u16string source;      // "Microsoft VBScript runtime error", "... compilation error" or the raiser's
    int line = 0;               // 1-based line in the text given to addCode; 0 when unknown
    int column = 0;             // 1-based column; 0 when unknown
    bool compileError = false;
};

// The standard description of a VBScript error number ("Type mismatch" for 13), or "Unknown runtime error".
std::u16string errorDescription(int32_t number);

} // namespace vbscript
