// vbsrun FILE.vbs [ARGS]: runs a script as a console script host (WScript.Echo, Quit, Arguments, StdOut).
// vbsrun --plugin FILE.qzp ...: runs a Quorzel plugin with recording objects (pluginrun/PluginRun.h).
#include <fstream>
#include <iostream>
#include <sstream>

#include "pluginrun/PluginRun.h"
#include "vbscript/ScriptHost.h"

using namespace vbscript;

namespace {

struct QuitRequest {
    int code;
};

std::u16string joinArgs(const CallArgs& a) {
    std::u16string out;
    for (size_t i = 0; i < a.size(); ++i) {
        if (i) out += u' ';
        // Echo shows Null by name; everything else as & would join it.
        out += a[i].isNull() ? std::u16string(u"Null") : toText(a[i]);
    }
    return out;
}

class TextStream : public HostObject {
public:
    explicit TextStream(std::ostream& os) : os_(os) {}
    int findMember(std::u16string_view name) override {
        if (namesEqual(name, u"Write")) return 1;
        if (namesEqual(name, u"WriteLine")) return 2;
        if (namesEqual(name, u"WriteBlankLines")) return 3;
        return kNoMember;
    }
    Variant invoke(int id, InvokeKind, const CallArgs& a) override {
        switch (id) {
        case 1:
            if (a.size() != 1) throw ScriptError(450);
            os_ << toUtf8(a[0].toString()) << std::flush;
            return {};
        case 2:
            os_ << toUtf8(a.size() ? a[0].toString() : std::u16string()) << "\n" << std::flush;
            return {};
        case 3:
            for (int32_t i = 0, n = a.size() ? a[0].toLong() : 0; i < n; ++i)
                os_ << "\n";
            os_ << std::flush;
            return {};
        }
        throw ScriptError(438);
    }
    std::u16string typeName() const override { return u"TextStream"; }

private:
    std::ostream& os_;
};

class Arguments : public HostObject {
public:
    explicit Arguments(std::vector<std::u16string> a) : args_(std::move(a)) {}
    int findMember(std::u16string_view name) override {
        if (namesEqual(name, u"Item")) return 1;
        if (namesEqual(name, u"Count") || namesEqual(name, u"Length")) return 2;
        return kNoMember;
    }
    int defaultMember() const override { return 1; }
    Variant invoke(int id, InvokeKind kind, const CallArgs& a) override {
        if (kind == InvokeKind::Let || kind == InvokeKind::Set) throw ScriptError(438);
        if (id == 1) {
            if (a.size() != 1) throw ScriptError(450);
            int32_t i = a[0].toLong();
            if (i < 0 || i >= static_cast<int32_t>(args_.size())) throw ScriptError(9);
            return Variant(args_[static_cast<size_t>(i)]);
        }
        if (id == 2) return Variant::fromLong(static_cast<int32_t>(args_.size()));
        throw ScriptError(438);
    }
    std::unique_ptr<Enumerator> enumerate() override {
        struct E : Enumerator {
            std::vector<std::u16string> items;
            size_t i = 0;
            bool next(Variant& out) override {
                if (i >= items.size()) return false;
                out = Variant(items[i++]);
                return true;
            }
        };
        auto e = std::make_unique<E>();
        e->items = args_;
        return e;
    }

private:
    std::vector<std::u16string> args_;
};

class WScript : public HostObject {
public:
    WScript(std::u16string name, std::u16string fullName, std::vector<std::u16string> args)
        : name_(std::move(name)), fullName_(std::move(fullName)),
          args_(std::make_shared<Arguments>(std::move(args))), out_(std::make_shared<TextStream>(std::cout)),
          err_(std::make_shared<TextStream>(std::cerr)) {}
    enum { Echo = 1, Quit, ArgumentsId, StdOut, StdErr, ScriptName, ScriptFullName, Sleep, Version };
    int findMember(std::u16string_view n) override {
        static const char16_t* const names[] = {u"Echo",           u"Quit",   u"Arguments",
                                                u"StdOut",         u"StdErr", u"ScriptName",
                                                u"ScriptFullName", u"Sleep",  u"Version"};
        for (size_t i = 0; i < std::size(names); ++i)
            if (namesEqual(n, names[i])) return static_cast<int>(i) + 1;
        return kNoMember;
    }
    Variant invoke(int id, InvokeKind, const CallArgs& a) override {
        switch (id) {
        case Echo:
            std::cout << toUtf8(joinArgs(a)) << "\n" << std::flush;
            return {};
        case Quit:
            throw QuitRequest{a.size() ? a[0].toLong() : 0};
        case ArgumentsId:
            if (a.size() == 1) return args_->invoke(1, InvokeKind::Get, a);
            return Variant(std::static_pointer_cast<HostObject>(args_));
        case StdOut:
            return Variant(std::static_pointer_cast<HostObject>(out_));
        case StdErr:
            return Variant(std::static_pointer_cast<HostObject>(err_));
        case ScriptName:
            return Variant(name_);
        case ScriptFullName:
            return Variant(fullName_);
        case Sleep:
            return {};
        case Version:
            return Variant(u"5.8");
        }
        throw ScriptError(438);
    }
    std::u16string typeName() const override { return u"Object"; }

private:
    std::u16string name_, fullName_;
    std::shared_ptr<Arguments> args_;
    std::shared_ptr<TextStream> out_, err_;
};

class ConsoleUi : public ScriptUi {
public:
    int msgBox(const std::u16string& prompt, int, const std::u16string&) override {
        std::cout << toUtf8(prompt) << "\n" << std::flush;
        return 1;
    }
    std::optional<std::u16string> inputBox(const std::u16string& prompt, const std::u16string&,
                                           const std::u16string& def) override {
        std::cout << toUtf8(prompt) << " " << std::flush;
        std::string line;
        if (!std::getline(std::cin, line)) return std::nullopt;
        if (line.empty()) return def;
        return fromUtf8(line);
    }
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: vbsrun FILE.vbs [ARGS]\n" << pluginrun::kPluginUsage;
        return 2;
    }
    if (std::string(argv[1]) == "--plugin") {
        std::string error;
        auto options = pluginrun::parsePluginOptions(std::vector<std::string>(argv + 1, argv + argc), error);
        if (!options) {
            std::cerr << "vbsrun: " << error << "\n" << pluginrun::kPluginUsage;
            return 2;
        }
        return pluginrun::runPlugin(*options);
    }
    std::string path = argv[1];
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::cerr << path << ": cannot open the file\n";
        return 2;
    }
    std::stringstream ss;
    ss << in.rdbuf();
    std::string bytes = ss.str();
    std::u16string text;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        for (size_t i = 2; i + 1 < bytes.size(); i += 2)
            text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                                 (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    } else {
        if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
        text = fromUtf8(bytes);
    }
    std::vector<std::u16string> args;
    for (int i = 2; i < argc; ++i)
        args.push_back(fromUtf8(argv[i]));
    std::string base =
        path.substr(path.find_last_of('/') == std::string::npos ? 0 : path.find_last_of('/') + 1);

    ConsoleUi ui;
    ScriptHost host(&ui);
    host.setTimeout(std::chrono::milliseconds(0));
    bool failed = false;
    host.setErrorHandler([&](const ScriptErrorInfo& e) {
        failed = true;
        std::cerr << pluginrun::errorLine(path, e) << "\n";
    });
    host.addObject(u"WScript", std::make_shared<WScript>(fromUtf8(base), fromUtf8(path), std::move(args)),
                   false);
    try {
        host.addCode(text);
    } catch (const QuitRequest& q) {
        return q.code;
    }
    return failed ? 1 : 0;
}
