#include "PluginRun.h"

#include <fstream>
#include <iostream>
#include <sstream>

#include "RecordingDialog.h"
#include "RecordingMainWindow.h"
#include "ShownText.h"
#include "vbscript/ScriptHost.h"
#include "vbscript/plugin/PluginText.h"

namespace vbscript::pluginrun {

namespace {

// The entry points by their names in the program, which scripts may write in any letter case.
const char16_t* const kEntries[] = {u"Main", u"draw", u"Changer", u"create"};

struct Fill {
    std::u16string array;
    int index = 0;
    std::u16string text;
};

std::optional<Fill> parseFill(const std::u16string& spec) {
    const size_t open = spec.find(u'('), close = spec.find(u")=");
    if (open == std::u16string::npos || close == std::u16string::npos || close < open + 2)
        return std::nullopt;
    Fill f;
    f.array = spec.substr(0, open);
    try {
        f.index = std::stoi(toUtf8(spec.substr(open + 1, close - open - 1)));
    } catch (const std::exception&) {
        return std::nullopt;
    }
    f.text = spec.substr(close + 2);
    return f;
}

class PluginSession {
public:
    explicit PluginSession(const PluginRunOptions& o)
        : options_(o), path_(o.pluginPath), name_(plugin::pluginName(fromUtf8(o.pluginPath))),
          dialog_(std::make_shared<RecordingDialog>()),
          qz_(std::make_shared<RecordingMainWindow>(std::cout, *dialog_)),
          clipboard_(std::make_shared<RecordingClipboard>(std::cout)) {
        qz_->pluginrecord = o.record;
        qz_->selection = o.selection;
        clipboard_->text = o.clipboard;
        host_.setErrorHandler([this](const ScriptErrorInfo& e) {
            failed_ = true;
            std::cout << std::flush;
            std::cerr << errorLine(path_, e) << "\n";
        });
    }

    bool read() {
        std::ifstream in(path_, std::ios::binary);
        if (!in) return false;
        std::stringstream bytes;
        bytes << in.rdbuf();
        text_ = plugin::scriptText(bytes.str());
        return true;
    }

    int run() {
        const std::u16string& entry = options_.entry;
        if (entry == u"Main") {
            if (!load(false) || !call(u"Main")) return 1;
            for (const std::u16string& sentence : options_.heard)
                if (!hear(sentence)) return 1;
        } else if (entry == u"create") {
            if (!open(!options_.record.empty())) return 1;
            for (const std::u16string& spec : options_.fills)
                if (!fill(spec)) return 1;
            if (!load(true) || !call(u"create")) return 1;
            if (!qz_->storedRecord) std::cout << "create stored nothing: the dialog stays open\n";
        } else {
            if (!open(entry == u"Changer")) return 1;
            dialog_->print(std::cout);
        }
        return failed_ ? 1 : 0;
    }

private:
    // Load plugin: a fresh host with one set of objects and the plugin's whole text.
    bool load(bool settingsObjects) {
        host_.reset();
        if (settingsObjects) {
            const std::shared_ptr<HostObject> objects[] = {dialog_, qz_, dialog_->textboxes, dialog_->labels,
                                                           dialog_->pathBoxes};
            for (size_t i = 0; i < std::size(objects); ++i)
                host_.addObject(plugin::kSettingsObjects[i], objects[i], true);
        } else {
            host_.addObject(plugin::kActionObjects[0], qz_, true);
            host_.addObject(plugin::kActionObjects[1], clipboard_, true);
        }
        return host_.addCode(text_);
    }

    bool call(std::u16string_view procedure) {
        qz_->spoke = false;
        const bool ok = host_.run(procedure).has_value();
        // The end of every spoken text brings the command grammar back, as in the program.
        if (qz_->spoke && qz_->listening != Listening::Commands) {
            std::cout << "(the voice has finished: listening for commands again)\n";
            qz_->listening = Listening::Commands;
        }
        return ok;
    }

    // The opening of the dialog for a new command (draw) or for the stored one (Changer).
    bool open(bool change) {
        dialog_->open(name_, change ? plugin::kChangeCaption : plugin::kCreateCaption);
        if (!load(true)) return false;
        const bool ok = call(change ? u"Changer" : u"draw");
        // The Browse buttons come even after a failed draw, so that what it made can still be used.
        dialog_->attachBrowseButtons();
        return ok;
    }

    bool hear(const std::u16string& sentence) {
        switch (qz_->listening) {
        case Listening::Dictation:
            std::cout << "types: " << shownText(sentence) << "\n";
            return true;
        case Listening::Capture:
            if (!host_.hasProcedure(u"capture")) {
                std::cout << "heard: " << shownText(sentence) << " (the plugin has no capture)\n";
                return true;
            }
            qz_->capturedtext = sentence;
            return call(u"capture");
        case Listening::Commands:
            break;
        }
        std::cout << "heard: " << shownText(sentence) << " (not for the plugin: it captures nothing now)\n";
        return true;
    }

    bool fill(const std::u16string& spec) {
        const auto f = parseFill(spec);
        const auto array = f ? dialog_->arrayNamed(f->array) : nullptr;
        const auto it = array ? array->elements.find(f->index) : decltype(array->elements.end()){};
        if (!array || it == array->elements.end()) {
            std::cerr << "--fill " << toUtf8(spec) << ": the dialog has no such field\n";
            return false;
        }
        if (it->second->design.kind == plugin::ControlKind::CheckBox)
            it->second->value = f->text == u"1" ? 1 : 0;
        else
            it->second->text = f->text;
        return true;
    }

    const PluginRunOptions& options_;
    std::string path_;
    std::u16string name_;
    ScriptHost host_;
    std::shared_ptr<RecordingDialog> dialog_;
    std::shared_ptr<RecordingMainWindow> qz_;
    std::shared_ptr<RecordingClipboard> clipboard_;
    std::u16string text_;
    bool failed_ = false;
};

} // namespace

std::string errorLine(const std::string& path, const ScriptErrorInfo& e) {
    std::string place = path;
    if (e.line > 0) place += "(" + std::to_string(e.line) + ", " + std::to_string(e.column) + ")";
    return place + " " + toUtf8(e.source) + ": " + toUtf8(e.description);
}

std::optional<PluginRunOptions> parsePluginOptions(const std::vector<std::string>& args, std::string& error) {
    PluginRunOptions o;
    if (args.size() < 2 || args[0] != "--plugin") {
        error = "--plugin needs a plugin file";
        return std::nullopt;
    }
    o.pluginPath = args[1];
    for (size_t i = 2; i < args.size(); i += 2) {
        const std::string& option = args[i];
        if (i + 1 >= args.size()) {
            error = option + " needs a value";
            return std::nullopt;
        }
        const std::u16string value = fromUtf8(args[i + 1]);
        if (option == "--record") {
            o.record = value;
        } else if (option == "--entry") {
            o.entry.clear();
            for (const char16_t* entry : kEntries)
                if (namesEqual(value, entry)) o.entry = entry;
            if (o.entry.empty()) {
                error = "--entry is one of Main, draw, Changer, create";
                return std::nullopt;
            }
        } else if (option == "--heard") {
            o.heard.push_back(value);
        } else if (option == "--fill") {
            if (!parseFill(value)) {
                error = "--fill takes NAME(INDEX)=TEXT, for example \"textinput(1)=gedit\"";
                return std::nullopt;
            }
            o.fills.push_back(value);
        } else if (option == "--selection") {
            o.selection = value;
        } else if (option == "--clipboard") {
            o.clipboard = value;
        } else {
            error = "unknown option " + option;
            return std::nullopt;
        }
    }
    if (o.entry == u"Changer" && o.record.empty())
        error = "--entry Changer changes a stored command: give its --record";
    if (!o.heard.empty() && o.entry != u"Main") error = "--heard follows Main";
    if (!o.fills.empty() && o.entry != u"create") error = "--fill fills the dialog before create";
    if (!error.empty()) return std::nullopt;
    return o;
}

int runPlugin(const PluginRunOptions& options) {
    PluginSession session(options);
    if (!session.read()) {
        std::cerr << options.pluginPath << ": cannot open the file\n";
        return 2;
    }
    return session.run();
}

} // namespace vbscript::pluginrun
