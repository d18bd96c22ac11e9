#pragma once

// `ScriptC`: the one script host of the program, with the steps every plugin run shares (reset, named
// objects, the plugin's text, one entry point) and the "Script Error" report of every script error.

#include <QString>

#include <memory>
#include <optional>

namespace vbscript {
class HostObject;
class ScriptHost;
class ScriptUi;
struct ScriptErrorInfo;
} // namespace vbscript

namespace qz {

class UserMessages;

class ScriptRunner {
public:
    // Script errors are shown through `messages`; `ui` serves MsgBox and InputBox (may be null).
    explicit ScriptRunner(UserMessages& messages, vbscript::ScriptUi* ui = nullptr);
    ~ScriptRunner();

    // A plugin file's text as the host gets it: every line, ended in the file by CR LF, CR or LF, followed
    // by CR LF; UTF-8 when the file is valid UTF-8, else Windows-1252. Nothing when the file cannot be
    // read; `error` then says why.
    static std::optional<QString> readPluginText(const QString& path, QString* error = nullptr);

    void Reset();
    void AddObject(const QString& name, std::shared_ptr<vbscript::HostObject> object);
    // Returns false after a script error, which has been reported.
    bool AddCode(const QString& text, const QString& pluginName = {});
    bool Run(const QString& procedure);
    // Whether the loaded plugin has this procedure, for the entry points a plugin may leave out.
    bool hasProcedure(const QString& procedure) const;
    // Thread-safe: true once the running script's time is up or it was interrupted. A long operation that
    // a script called polls it and then throws vbscript::ScriptStopped to end the run.
    bool stopRequested() const;

    vbscript::ScriptHost& host();
    // The text of the last "Script Error" report, for tests and logs.
    const QString& lastReport() const { return lastReport_; }

private:
    void onError(const vbscript::ScriptErrorInfo& error);

    UserMessages& messages_;
    std::unique_ptr<vbscript::ScriptHost> host_;
    QString pluginName_;
    QString lastReport_;
};

} // namespace qz
