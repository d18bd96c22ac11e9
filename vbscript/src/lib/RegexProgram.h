#pragma once

// The compiled form of a regular expression: a small instruction set run by the backtracking matcher.

#include "lib/Regex.h"

#include <cstdint>
#include <vector>

namespace vbscript::lib {

enum class RegexOp : std::uint8_t {
    Char,      // arg: the unit (upper-cased when ignoring case)
    Any,       // any unit but a line feed
    Class,     // arg: index into classes
    Split,     // try x first, then y
    Jump,      // x
    Save,      // arg: slot = position
    LineStart, // ^
    LineEnd,   // $
    WordBoundary,
    NotWordBoundary,
    BackRef,   // arg: group number
    LookAhead, // arg: 1 negative; x: the instruction after the matching LookEnd
    LookEnd,
    RepeatStart, // arg: register = position (guards loops whose body can match empty)
    RepeatCheck, // arg: fails when the position has not moved since RepeatStart
    Match,
};

struct RegexInstruction {
    RegexOp op;
    std::uint32_t arg = 0;
    std::uint32_t x = 0;
    std::uint32_t y = 0;
};

struct RegexClass {
    std::vector<std::pair<char16_t, char16_t>> ranges; // sorted and merged
    bool negated = false;
    bool inRanges(char16_t c) const; // ignores `negated`
    bool contains(char16_t c) const { return inRanges(c) != negated; }
};

struct Regex::Program {
    std::vector<RegexInstruction> code;
    std::vector<RegexClass> classes;
    std::size_t groupCount = 0;
    std::size_t registerCount = 0; // slots for RepeatStart, after the 2 * (groups + 1) capture slots
    RegexFlags flags;
    bool anchoredAtStart = false; // begins with ^ outside multiline mode: only position 0 can match
};

// Compiles a pattern; throws LibError with the RegExp error numbers.
std::shared_ptr<const Regex::Program> compileRegex(std::u16string_view pattern, RegexFlags flags);

} // namespace vbscript::lib
