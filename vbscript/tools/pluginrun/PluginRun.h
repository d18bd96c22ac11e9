// `vbsrun --plugin FILE.qzp ...`: runs one of a Quorzel plugin's entry points the way the program does,
// with recording objects that print what the plugin asks for, so that a plugin can be tried and tested
// without a microphone or a desktop.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vbscript {
struct ScriptErrorInfo;
}

namespace vbscript::pluginrun {

struct PluginRunOptions {
    std::string pluginPath;
    std::u16string record;               // the command's record, which settings(n) reads
    std::u16string entry = u"Main";      // Main, draw, Changer or create
    std::vector<std::u16string> heard;   // sentences heard after Main, in order
    std::vector<std::u16string> fills;   // "textinput(1)=text", typed in before create runs
    std::u16string selection, clipboard; // what getsellected() and clipboard.GetText find
};

// "FILE(line, column) source: description", or without the place when no line is known.
std::string errorLine(const std::string& path, const ScriptErrorInfo& error);

// The options after "--plugin"; nullopt with `error` set when they make no sense.
std::optional<PluginRunOptions> parsePluginOptions(const std::vector<std::string>& args, std::string& error);

// Runs the plugin; the exit code is 1 after a script error (printed on standard error), 2 when the file
// cannot be read, else 0.
int runPlugin(const PluginRunOptions& options);

inline constexpr const char* kPluginUsage =
    "usage: vbsrun --plugin FILE.qzp [--record \"phrase|plugin|name|value1|...\"]\n"
    "              [--entry Main|draw|Changer|create] [--heard SENTENCE]... [--fill "
    "\"textinput(1)=text\"]...\n"
    "              [--selection TEXT] [--clipboard TEXT]\n";

} // namespace vbscript::pluginrun
