#pragma once
// Errors of the desktop adapters; what() is a sentence fit to show the user or a script.

#include <stdexcept>

namespace qz {

// A desktop service could not do what was asked (no X11 display, a program that is not installed, ...).
class DesktopError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A key sequence that breaks the syntax (unclosed brace, unknown key name, unbalanced parenthesis).
// Derived from std::invalid_argument so that a script sees "Invalid procedure call or argument" (error 5).
class KeySequenceError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

} // namespace qz
