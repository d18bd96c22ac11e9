#pragma once

// Our own regular-expression engine over UTF-16 with the RegExp object's syntax: alternation, groups,
// (?:...), (?=...), (?!...), greedy and lazy * + ? {n} {n,} {n,m}, classes with ranges and negation,
// \d \D \w \W \s \S \b \B, ^ $ (per line with multiline), ., \t \n \r \f \v \xHH \uHHHH \cX, \1..\9.
// A backtracking matcher with an explicit stack and a step budget, so no pattern hangs or overflows.

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vbscript::lib {

struct RegexSpan {
    std::size_t start = 0;
    std::size_t length = 0;
};

struct RegexMatch {
    std::size_t start = 0;  // FirstIndex
    std::size_t length = 0; // Length
    // One entry per capture group (SubMatches); nullopt for a group that took no part in the match.
    std::vector<std::optional<RegexSpan>> groups;
};

struct RegexFlags {
    bool ignoreCase = false;
    bool multiline = false;
};

class Regex {
public:
    // Compiles the pattern. Errors throw LibError: 5017 syntax error, 5018 unexpected quantifier,
    // 5019 expected ']', 5020 expected ')', 5021 invalid range in character set, 28 nesting too deep.
    explicit Regex(std::u16string_view pattern, RegexFlags flags = {});

    std::size_t groupCount() const;

    // Called every few thousand steps of a search; it may throw (a script time-out) to abandon it.
    using Poll = std::function<void()>;

    // The leftmost match that starts at or after `from`. A search that exceeds the step budget
    // (catastrophic backtracking) throws LibError{28} rather than running for ever.
    std::optional<RegexMatch> search(std::u16string_view text, std::size_t from = 0,
                                     const Poll& poll = {}) const;
    // Execute: the first match, or with `global` every match left to right; an empty match moves the
    // next search one unit on.
    std::vector<RegexMatch> searchAll(std::u16string_view text, bool global, const Poll& poll = {}) const;
    // Replace: substitutes the first (or every) match, expanding $1..$99 (when such a group exists),
    // $& (the match), $` (text before), $' (text after) and $$; anything else is copied as it is.
    std::u16string replace(std::u16string_view text, std::u16string_view replacement, bool global,
                           const Poll& poll = {}) const;

    struct Program;

private:
    std::shared_ptr<const Program> program_;
};

} // namespace vbscript::lib
