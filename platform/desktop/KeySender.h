#pragma once
// Role: sends key strokes to the window that has the keyboard focus.

#include "platform/desktop/KeySequence.h"
#include "platform/desktop/KeyStroke.h"

#include <exception>
#include <functional>

namespace qz {

// Thrown by a send that its stop check ended; the strokes before it were sent, no modifier is left held.
class KeySendingStopped : public std::exception {
public:
    const char* what() const noexcept override { return "the key presses were stopped"; }
};

class KeySender {
public:
    // Asked now and then while a long send runs; true ends it with KeySendingStopped.
    using StopCheck = std::function<bool()>;

    // One call types at most this many characters, and presses at most this many keys: beyond that a
    // script is stuck in a loop rather than typing for the user.
    static constexpr qsizetype kMaxCharacters = 100000;
    static constexpr std::size_t kMaxStrokes = 100000;

    virtual ~KeySender() = default;

    // Sends the strokes without waiting for the focused program to process them.
    // Throws DesktopError when keys cannot be sent (e.g. no X11 display).
    virtual void send(const KeyStrokes& strokes, const StopCheck& stop = {}) = 0;

    // `presskeys`: sends a key sequence; throws KeySequenceError (nothing sent) when it is malformed or
    // beyond the limits above.
    void pressKeys(const QString& sequence, const StopCheck& stop = {});

    // Dictation: types the text character for character, never as modifiers or key names.
    void typeText(const QString& text, const StopCheck& stop = {});
};

} // namespace qz
