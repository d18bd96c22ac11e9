#include "RecordingMainWindow.h"
#include "ShownText.h"

#include <cmath>
#include <limits>

#include "vbscript/ScriptError.h"

namespace vbscript::pluginrun {

namespace {

enum Member {
    Speak,
    Presskeys,
    Cmd,
    Openfile,
    Getsellected,
    Settings,
    Setvoice,
    StartDictation,
    StopDictation,
    CaptureSentence,
    ListenFor,
    CapturedText,
    RebuildGrammar,
    RefreshBrain,
    AddToBrain,
    Create,
};
const char16_t* const kNames[] = {u"speak",          u"presskeys",       u"cmd",        u"openfile",
                                  u"getsellected",   u"settings",        u"setvoice",   u"Startdictation",
                                  u"Stopdictation",  u"capturesentence", u"listenfor",  u"capturedtext",
                                  u"RebuildGrammar", u"refreshbrain",    u"addtobrain", u"create"};

// The number of arguments each operation takes: [least, most].
const int kArity[][2] = {{1, 1}, {1, 1}, {1, 1}, {1, 1}, {0, 0}, {1, 1}, {1, 1}, {0, 0},
                         {0, 0}, {0, 0}, {1, 1}, {0, 0}, {0, 0}, {0, 0}, {1, 2}, {1, 1}};
static_assert(std::size(kArity) == std::size(kNames) && std::size(kNames) == Create + 1);

constexpr std::u16string_view kRepeatMarker = u"1337-REPEATCODE";

std::vector<std::u16string_view> fields(std::u16string_view record) {
    std::vector<std::u16string_view> list;
    for (;;) {
        const size_t bar = record.find(u'|');
        list.push_back(record.substr(0, bar));
        if (bar == std::u16string_view::npos) return list;
        record.remove_prefix(bar + 1);
    }
}

} // namespace

RecordingMainWindow::RecordingMainWindow(std::ostream& out, RecordingDialog& dialog)
    : out_(out), dialog_(dialog) {}

int RecordingMainWindow::findMember(std::u16string_view name) {
    for (size_t i = 0; i < std::size(kNames); ++i)
        if (namesEqual(name, kNames[i])) return static_cast<int>(i);
    return kNoMember;
}

std::u16string RecordingMainWindow::setting(const Variant& n) const {
    const double wanted = n.toDouble();
    if (!(std::fabs(wanted) <= std::numeric_limits<int32_t>::max())) throw ScriptError(6);
    const auto all = fields(pluginrecord);
    const double index = std::nearbyint(wanted) + 2; // halves to even, as the program rounds
    if (index < 0 || index >= static_cast<double>(all.size())) {
        throw ScriptError(9, u"Subscript out of range: the command has no setting " +
                                 toText(Variant(index - 2)));
    }
    return std::u16string(all[static_cast<size_t>(index)]);
}

void RecordingMainWindow::addtobrain(const std::u16string& settings, std::u16string plugin) {
    if (plugin.empty()) plugin = dialog_.dialogplugin;
    const std::u16string& phrase = dialog_.textboxes->elements[0]->text;
    // As in the program: a command without words would be carried out at any noise.
    if (phrase.find_first_not_of(u" \t") == std::u16string::npos)
        throw ScriptError(5,
                          u"Type the activation phrase: a command without words would be carried out at any "
                          u"noise Quorzel hears.");
    const auto pieces = fields(settings);
    std::u16string record;
    if (pieces.size() > 1 && pieces[1] == kRepeatMarker)
        record = phrase + u"|repeat|" + plugin + u"|" + std::u16string(pieces[0]);
    else
        record = phrase + u"|plugin|" + plugin + u"|" + settings;
    out_ << "addtobrain: " << shownText(record) << "\n";
    storedRecord = record;
}

Variant RecordingMainWindow::invoke(int id, InvokeKind kind, const CallArgs& a) {
    if (id < 0 || id >= static_cast<int>(std::size(kNames))) throw ScriptError(438);
    if (kind == InvokeKind::Let || kind == InvokeKind::Set) throw ScriptError(438);
    if (static_cast<int>(a.size()) < kArity[id][0] || static_cast<int>(a.size()) > kArity[id][1])
        throw ScriptError(450);
    auto say = [&](const char* what) { out_ << what << ": " << shownText(toText(a[0])) << "\n"; };
    switch (id) {
    case Speak:
        say("speak");
        spoke = true;
        return {};
    case Presskeys:
        say("presskeys");
        return {};
    case Cmd:
        say("cmd");
        return {};
    case Openfile:
        say("openfile");
        return {};
    case Getsellected:
        return Variant(selection);
    case Settings:
        return Variant(setting(a[0]));
    case Setvoice: {
        // A voice past the last of the three is voice 1, written back to the caller's variable.
        double n = a[0].toDouble();
        if (n > 2) {
            n = 1;
            if (a.isByRef(0)) a[0] = Variant(1.0);
        }
        out_ << "setvoice: " << toUtf8(toText(Variant(n))) << "\n";
        return {};
    }
    case StartDictation:
        out_ << "Startdictation\n";
        listening = Listening::Dictation;
        return {};
    case StopDictation:
        out_ << "Stopdictation\n";
        listening = Listening::Commands;
        return {};
    case CaptureSentence:
        out_ << "capturesentence\n";
        listening = Listening::Capture;
        return {};
    case ListenFor:
        say("listenfor");
        return {};
    case CapturedText:
        return Variant(capturedtext);
    case RebuildGrammar:
        out_ << "RebuildGrammar\n";
        return {};
    case RefreshBrain:
        out_ << "refreshbrain\n";
        return {};
    case AddToBrain:
        addtobrain(toText(a[0]), a.size() > 1 ? toText(a[1]) : std::u16string());
        return {};
    case Create:
        dialog_.create(toText(a[0]));
        return {};
    }
    throw ScriptError(438);
}

enum ClipboardMember { GetText, SetText, Clear };

int RecordingClipboard::findMember(std::u16string_view name) {
    if (namesEqual(name, u"GetText")) return GetText;
    if (namesEqual(name, u"SetText")) return SetText;
    if (namesEqual(name, u"Clear")) return Clear;
    return kNoMember;
}

Variant RecordingClipboard::invoke(int id, InvokeKind kind, const CallArgs& a) {
    if (kind == InvokeKind::Let || kind == InvokeKind::Set) throw ScriptError(438);
    switch (id) {
    case GetText:
        // The optional format argument is taken for old scripts; only text is offered.
        if (a.size() > 1) throw ScriptError(450);
        return Variant(text);
    case SetText:
        if (a.size() < 1 || a.size() > 2) throw ScriptError(450);
        text = toText(a[0]);
        out_ << "clipboard.SetText: " << shownText(text) << "\n";
        return {};
    case Clear:
        if (a.size() != 0) throw ScriptError(450);
        text.clear();
        out_ << "clipboard.Clear\n";
        return {};
    }
    throw ScriptError(438);
}

} // namespace vbscript::pluginrun
