#pragma once
// Turns texts into key strokes: the key-sequence syntax of `presskeys`, and literal text for dictation.

#include "platform/desktop/KeyStroke.h"

#include <QString>

namespace qz {

// Parses the key-sequence syntax: "+" Shift, "^" Control, "%" Alt, "~" Enter, "{NAME}" / "{NAME n}" named
// keys and repeats, "{+}"-style escapes, "+(abc)" groups under a modifier; every other character types
// itself. Throws KeySequenceError naming the fault when the sequence is malformed.
KeyStrokes parseKeySequence(const QString& sequence);

// Every character typed as itself, + ^ % ~ { } ( ) included; line breaks become Enter and tabs Tab.
KeyStrokes literalKeyStrokes(const QString& text);

} // namespace qz
