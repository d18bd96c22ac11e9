#pragma once

#include <QString>
#include <QStringView>

namespace qz {

// The values of `dictationmode` besides empty (voice commands).
inline constexpr QStringView kDictating = u"dictating";
inline constexpr QStringView kCapturing = u"capturesentence";

// The controller's listening state: whether commands act (`listening`), whether the program sleeps until
// "Activate functions" (`asleep`), whether the voice is silent (`voiceidle`), and what happens to a
// recognised sentence (`dictationmode`). The transitions change the flags and nothing else: which command
// may make them is decided by dispatchDecision, and the status line always shows statusText().
class ListeningState {
public:
    bool listening() const { return listening_; }
    bool asleep() const { return asleep_; }
    bool voiceidle() const { return voiceidle_; }
    const QString& dictationmode() const { return dictationmode_; }
    bool isDictating() const { return dictationmode_ == kDictating; }
    bool isCapturing() const { return dictationmode_ == kCapturing; }

    void activate() { listening_ = true; }
    void deactivate() { listening_ = false; }
    void sleep() {
        listening_ = false;
        asleep_ = true;
    }
    void wake() { asleep_ = false; }
    void setVoiceIdle(bool idle) { voiceidle_ = idle; }
    void setDictationMode(const QString& mode) { dictationmode_ = mode; }

    // The status line's text for this state: "Sleeping...", "Listening..." or "Not listening".
    QString statusText() const;

private:
    bool listening_ = false;
    bool asleep_ = false;
    bool voiceidle_ = true;
    QString dictationmode_;
};

// What a recognised command does, by the dispatch's table.
enum class CommandAction {
    None,             // no row holds: nothing happens
    AlreadyListening, // say "Already am sir"
    Activate,         // listening; say the reply; "Listening..."
    Deactivate,       // say the reply; not listening; "Not listening"
    Sleep,            // say the reply; asleep; enable "Activate functions"; "Sleeping..."
    RunPlugin,        // run the record's plugin, remembered for repeat
    Repeat,           // run the last plugin again, or say the repeat record's message
};

// The dispatch's table for a command of action type `type` (field 1 of its record, compared exactly) in
// `state`: the first row whose type and condition hold. Pure: it changes nothing.
CommandAction dispatchDecision(QStringView type, const ListeningState& state);

} // namespace qz
