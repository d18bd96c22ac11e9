#pragma once
// Role: sends key strokes to the window that has the keyboard focus.

#include "platform/desktop/KeySequence.h"
#include "platform/desktop/KeyStroke.h"

namespace qz {

class KeySender {
public:
    virtual ~KeySender() = default;

    // Sends the strokes without waiting for the focused program to process them.
    // Throws DesktopError when keys cannot be sent (e.g. no X11 display).
    virtual void send(const KeyStrokes& strokes) = 0;

    // `presskeys`: sends a key sequence; throws KeySequenceError (nothing sent) when it is malformed.
    void pressKeys(const QString& sequence) { send(parseKeySequence(sequence)); }

    // Dictation: types the text character for character, never as modifiers or key names.
    void typeText(const QString& text) { send(literalKeyStrokes(text)); }
};

} // namespace qz
