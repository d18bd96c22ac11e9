#include "lib/Regex.h"

#include "lib/CharCase.h"
#include "lib/LibError.h"
#include "lib/RegexProgram.h"

namespace vbscript::lib {
namespace {

// Steps one search may take before it is called runaway backtracking: a fraction of a second, plus an
// allowance per unit of text so that a plain scan of a long text never trips it.
constexpr std::uint64_t kStepBudget = 50'000'000;
constexpr std::uint64_t kStepsPerUnit = 64;
constexpr std::int64_t kUnset = -1;
// Backtrack entries one search may hold (16 bytes each).
constexpr std::size_t kMaxStack = 8'000'000;

bool isWordUnit(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_';
}

bool isLineBreak(char16_t c) {
    return c == u'\n' || c == u'\r' || c == 0x2028 || c == 0x2029;
}

class Matcher {
public:
    Matcher(const Regex::Program& program, std::u16string_view text, const Regex::Poll& poll)
        : program_(program), code_(program.code), text_(text), poll_(poll),
          slots_(2 * (program.groupCount + 1) + program.registerCount, kUnset),
          budget_(kStepBudget + kStepsPerUnit * text.size()) {}

    // Tries a match that starts exactly at `start`.
    bool matchAt(std::size_t start) {
        std::fill(slots_.begin(), slots_.end(), kUnset);
        stack_.clear();
        return run(0, start, 0);
    }

    const std::vector<std::int64_t>& slots() const { return slots_; }

private:
    // Backtrack entries: a place to resume, or a slot value to put back.
    struct Entry {
        std::int64_t value; // position to resume at, or the slot's old value
        std::uint32_t pc;
        std::uint32_t slot; // kResume for a place to resume
    };
    static constexpr std::uint32_t kResume = 0xFFFFFFFF;

    const Regex::Program& program_;
    const std::vector<RegexInstruction>& code_;
    std::u16string_view text_;
    const Regex::Poll& poll_;
    std::vector<std::int64_t> slots_;
    std::vector<Entry> stack_;
    std::uint64_t steps_ = 0;
    std::uint64_t budget_;

    void push(const Entry& entry) {
        if (stack_.size() >= kMaxStack) throw LibError{28};
        stack_.push_back(entry);
    }

    void setSlot(std::uint32_t slot, std::int64_t value) {
        push({slots_[slot], 0, slot});
        slots_[slot] = value;
    }

    bool sameUnit(char16_t a, char16_t b) const {
        if (a == b) return true;
        return program_.flags.ignoreCase && toUpper(a) == toUpper(b);
    }

    bool classMatches(const RegexClass& cls, char16_t c) const {
        if (!program_.flags.ignoreCase) return cls.contains(c);
        // Any case form in the set counts; a negated set must miss them all.
        bool in = cls.inRanges(c) || cls.inRanges(toUpper(c)) || cls.inRanges(toLower(c));
        return in != cls.negated;
    }

    bool atWordBoundary(std::size_t pos) const {
        bool before = pos > 0 && isWordUnit(text_[pos - 1]);
        bool after = pos < text_.size() && isWordUnit(text_[pos]);
        return before != after;
    }

    // Runs from pc at pos until Match (true) or until every alternative pushed above `base` failed.
    // A LookEnd counts as Match for the lookahead that started this run.
    bool run(std::uint32_t pc, std::size_t pos, std::size_t base) {
        while (true) {
            if ((++steps_ & 0xFFFF) == 0) {
                if (steps_ > budget_) throw LibError{28};
                if (poll_) poll_();
            }
            const RegexInstruction& in = code_[pc];
            bool ok = true;
            switch (in.op) {
            case RegexOp::Char:
                ok = pos < text_.size() && sameUnit(text_[pos], static_cast<char16_t>(in.arg));
                if (ok) ++pos, ++pc;
                break;
            case RegexOp::Any:
                ok = pos < text_.size() && text_[pos] != u'\n';
                if (ok) ++pos, ++pc;
                break;
            case RegexOp::Class:
                ok = pos < text_.size() && classMatches(program_.classes[in.arg], text_[pos]);
                if (ok) ++pos, ++pc;
                break;
            case RegexOp::Split:
                push({static_cast<std::int64_t>(pos), in.y, kResume});
                pc = in.x;
                break;
            case RegexOp::Jump:
                pc = in.x;
                break;
            case RegexOp::Save:
                setSlot(in.arg, static_cast<std::int64_t>(pos));
                ++pc;
                break;
            case RegexOp::LineStart:
                ok = pos == 0 || (program_.flags.multiline && isLineBreak(text_[pos - 1]));
                ++pc;
                break;
            case RegexOp::LineEnd:
                ok = pos == text_.size() || (program_.flags.multiline && isLineBreak(text_[pos]));
                ++pc;
                break;
            case RegexOp::WordBoundary:
                ok = atWordBoundary(pos);
                ++pc;
                break;
            case RegexOp::NotWordBoundary:
                ok = !atWordBoundary(pos);
                ++pc;
                break;
            case RegexOp::BackRef: {
                std::int64_t start = slots_[2 * in.arg], end = slots_[2 * in.arg + 1];
                if (start != kUnset && end != kUnset && end >= start) {
                    std::size_t length = static_cast<std::size_t>(end - start);
                    ok = pos + length <= text_.size();
                    for (std::size_t i = 0; ok && i < length; ++i)
                        ok = sameUnit(text_[pos + i], text_[static_cast<std::size_t>(start) + i]);
                    if (ok) pos += length;
                }
                ++pc;
                break;
            }
            case RegexOp::LookAhead: {
                std::vector<std::int64_t> before = slots_;
                std::size_t mark = stack_.size();
                bool found = run(pc + 1, pos, mark);
                // No backtracking into a lookahead: drop what it left on the stack.
                stack_.resize(mark);
                if (in.arg == 0) {
                    ok = found;
                    // Keep its captures, undoable if we backtrack past it.
                    for (std::uint32_t s = 0; ok && s < slots_.size(); ++s) {
                        if (slots_[s] != before[s]) push({before[s], 0, s});
                    }
                } else {
                    slots_ = before;
                    ok = !found;
                }
                pc = in.x;
                break;
            }
            case RegexOp::LookEnd:
                return true;
            case RegexOp::RepeatStart:
                setSlot(static_cast<std::uint32_t>(2 * (program_.groupCount + 1) + in.arg),
                        static_cast<std::int64_t>(pos));
                ++pc;
                break;
            case RegexOp::RepeatCheck:
                // An iteration that consumed nothing would loop for ever: it fails instead.
                ok = slots_[2 * (program_.groupCount + 1) + in.arg] != static_cast<std::int64_t>(pos);
                ++pc;
                break;
            case RegexOp::Match:
                return true;
            }
            if (ok) continue;
            // Backtrack.
            while (true) {
                if (stack_.size() <= base) return false;
                Entry e = stack_.back();
                stack_.pop_back();
                if (e.slot != kResume) {
                    slots_[e.slot] = e.value;
                } else {
                    pc = e.pc;
                    pos = static_cast<std::size_t>(e.value);
                    break;
                }
            }
        }
    }
};

RegexMatch toMatch(const std::vector<std::int64_t>& slots, std::size_t groupCount) {
    RegexMatch match;
    match.start = static_cast<std::size_t>(slots[0]);
    match.length = static_cast<std::size_t>(slots[1] - slots[0]);
    for (std::size_t g = 1; g <= groupCount; ++g) {
        std::int64_t start = slots[2 * g], end = slots[2 * g + 1];
        if (start == kUnset || end == kUnset || end < start)
            match.groups.push_back(std::nullopt);
        else
            match.groups.push_back(
                RegexSpan{static_cast<std::size_t>(start), static_cast<std::size_t>(end - start)});
    }
    return match;
}

// First unit a match must begin with, when the program starts with a literal (skips hopeless positions).
std::optional<char16_t> leadingUnit(const Regex::Program& program) {
    if (program.flags.ignoreCase || program.code.size() < 2) return std::nullopt;
    std::size_t pc = 1; // after Save 0
    while (pc < program.code.size() && program.code[pc].op == RegexOp::Save)
        ++pc;
    if (pc < program.code.size() && program.code[pc].op == RegexOp::Char)
        return static_cast<char16_t>(program.code[pc].arg);
    return std::nullopt;
}

} // namespace

Regex::Regex(std::u16string_view pattern, RegexFlags flags) : program_(compileRegex(pattern, flags)) {}

std::size_t Regex::groupCount() const {
    return program_->groupCount;
}

std::optional<RegexMatch> Regex::search(std::u16string_view text, std::size_t from, const Poll& poll) const {
    if (from > text.size()) return std::nullopt;
    Matcher matcher(*program_, text, poll);
    std::optional<char16_t> first = leadingUnit(*program_);
    if (program_->anchoredAtStart && from > 0) return std::nullopt;
    std::size_t last = program_->anchoredAtStart ? 0 : text.size();
    for (std::size_t start = from; start <= last; ++start) {
        if (first) {
            std::size_t found = text.find(*first, start);
            if (found == std::u16string_view::npos) return std::nullopt;
            start = found;
        }
        if (matcher.matchAt(start)) return toMatch(matcher.slots(), program_->groupCount);
    }
    return std::nullopt;
}

std::vector<RegexMatch> Regex::searchAll(std::u16string_view text, bool global, const Poll& poll) const {
    std::vector<RegexMatch> matches;
    std::size_t from = 0;
    while (from <= text.size()) {
        auto match = search(text, from, poll);
        if (!match) break;
        from = match->start + (match->length == 0 ? 1 : match->length);
        matches.push_back(std::move(*match));
        if (!global) break;
    }
    return matches;
}

std::u16string Regex::replace(std::u16string_view text, std::u16string_view replacement, bool global,
                              const Poll& poll) const {
    std::u16string result;
    std::size_t copied = 0;
    std::size_t groups = program_->groupCount;
    for (const RegexMatch& m : searchAll(text, global, poll)) {
        result.append(text.substr(copied, m.start - copied));
        for (std::size_t i = 0; i < replacement.size(); ++i) {
            char16_t c = replacement[i];
            if (c != u'$' || i + 1 >= replacement.size()) {
                result += c;
                continue;
            }
            char16_t next = replacement[i + 1];
            if (next == u'$') {
                result += u'$';
                ++i;
            } else if (next == u'&') {
                result.append(text.substr(m.start, m.length));
                ++i;
            } else if (next == u'`') {
                result.append(text.substr(0, m.start));
                ++i;
            } else if (next == u'\'') {
                result.append(text.substr(m.start + m.length));
                ++i;
            } else if (next >= u'0' && next <= u'9') {
                std::size_t number = next - u'0';
                std::size_t used = 1;
                if (i + 2 < replacement.size() && replacement[i + 2] >= u'0' && replacement[i + 2] <= u'9') {
                    std::size_t two = number * 10 + (replacement[i + 2] - u'0');
                    if (two >= 1 && two <= groups) {
                        number = two;
                        used = 2;
                    }
                }
                if (number >= 1 && number <= groups) {
                    if (const auto& span = m.groups[number - 1])
                        result.append(text.substr(span->start, span->length));
                    i += used;
                } else {
                    result += c;
                }
            } else {
                result += c;
            }
        }
        copied = m.start + m.length;
    }
    result.append(text.substr(copied));
    return result;
}

} // namespace vbscript::lib
