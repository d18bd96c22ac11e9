#pragma once
// One key press (with the modifiers held for it), the unit that key senders send and fakes record.

#include <QString>

#include <vector>

namespace qz {

enum class Modifier : unsigned { None = 0, Shift = 1, Control = 2, Alt = 4 };

// A set of Modifier flags.
using Modifiers = unsigned;

// Keys that the key-sequence syntax names in braces, plus Key::Character for a character typed as itself.
enum class Key {
    Character,
    Backspace,
    Break,
    CapsLock,
    Delete,
    Down,
    End,
    Enter,
    Escape,
    Help,
    Home,
    Insert,
    Left,
    NumLock,
    PageDown,
    PageUp,
    PrintScreen,
    Right,
    ScrollLock,
    Tab,
    Up,
    // clang-format off
    F1, F2, F3, F4, F5, F6, F7, F8, F9, F10, F11, F12, F13, F14, F15, F16, // keep in order: F1 + n
    // clang-format on
    Add,
    Subtract,
    Multiply,
    Divide,
};

struct KeyStroke {
    Key key = Key::Character;
    char32_t character = 0; // the character typed when key is Key::Character
    Modifiers modifiers = 0;

    bool operator==(const KeyStroke&) const = default;
    bool has(Modifier m) const { return modifiers & static_cast<unsigned>(m); }
};

using KeyStrokes = std::vector<KeyStroke>;

// The name of a named key as recordings show it ("Enter", "F4", "PgDn"); empty for Key::Character.
QString keyName(Key key);

// Plain text for tests and logs: characters as themselves, everything else in brackets, e.g.
// "ab[Ctrl+c][Enter]".
QString describeKeyStrokes(const KeyStrokes& strokes);

} // namespace qz
