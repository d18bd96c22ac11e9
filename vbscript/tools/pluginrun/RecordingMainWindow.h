// The "QZ"/"qz" and "clipboard" objects of `vbsrun --plugin`: every action a plugin asks for is printed
// ("speak: Hello") instead of done, and what it reads comes from the command line.
#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "RecordingDialog.h"
#include "vbscript/HostObject.h"

namespace vbscript::pluginrun {

// What the program is listening for, which decides where a sentence goes.
enum class Listening { Commands, Dictation, Capture };

class RecordingMainWindow : public HostObject {
public:
    RecordingMainWindow(std::ostream& out, RecordingDialog& dialog);

    std::u16string pluginrecord; // the record settings(n) reads
    std::u16string selection;    // what getsellected() finds selected
    std::u16string capturedtext;
    Listening listening = Listening::Commands;
    bool spoke = false;                         // since the last run began
    std::optional<std::u16string> storedRecord; // what addtobrain stored

    int findMember(std::u16string_view name) override;
    Variant invoke(int id, InvokeKind kind, const CallArgs& args) override;
    std::u16string typeName() const override { return u"Form1"; }

private:
    std::u16string setting(const Variant& n) const;
    void addtobrain(const std::u16string& settings, std::u16string plugin);

    std::ostream& out_;
    RecordingDialog& dialog_;
};

class RecordingClipboard : public HostObject {
public:
    explicit RecordingClipboard(std::ostream& out) : out_(out) {}

    std::u16string text;

    int findMember(std::u16string_view name) override;
    Variant invoke(int id, InvokeKind kind, const CallArgs& args) override;
    std::u16string typeName() const override { return u"Clipboard"; }

private:
    std::ostream& out_;
};

} // namespace vbscript::pluginrun
