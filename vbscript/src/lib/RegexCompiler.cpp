#include "lib/CharCase.h"
#include "lib/LibError.h"
#include "lib/RegexProgram.h"

#include <algorithm>
#include <limits>

namespace vbscript::lib {
namespace {

constexpr int kSyntaxError = 5017;
constexpr int kUnexpectedQuantifier = 5018;
constexpr int kExpectedBracket = 5019;
constexpr int kExpectedParen = 5020;
constexpr int kInvalidRange = 5021;
constexpr int kOutOfStack = 28;

constexpr int kMaxNesting = 200;         // keeps parser and matcher recursion shallow
constexpr std::size_t kMaxCode = 500000; // counted repeats are unrolled; this bounds the result
constexpr std::uint32_t kUnbounded = std::numeric_limits<std::uint32_t>::max();

using Ranges = std::vector<std::pair<char16_t, char16_t>>;

const Ranges kDigits = {{u'0', u'9'}};
const Ranges kWord = {{u'0', u'9'}, {u'A', u'Z'}, {u'_', u'_'}, {u'a', u'z'}};
const Ranges kSpace = {{0x09, 0x0D},     {0x20, 0x20},     {0xA0, 0xA0},     {0x1680, 0x1680},
                       {0x2000, 0x200A}, {0x2028, 0x2029}, {0x202F, 0x202F}, {0x205F, 0x205F},
                       {0x3000, 0x3000}, {0xFEFF, 0xFEFF}};

Ranges normalized(Ranges ranges) {
    std::sort(ranges.begin(), ranges.end());
    Ranges merged;
    for (const auto& r : ranges) {
        if (!merged.empty() && static_cast<int>(r.first) <= static_cast<int>(merged.back().second) + 1)
            merged.back().second = std::max(merged.back().second, r.second);
        else
            merged.push_back(r);
    }
    return merged;
}

Ranges complement(const Ranges& ranges) {
    Ranges sorted = normalized(ranges), result;
    int next = 0;
    for (const auto& r : sorted) {
        if (r.first > next)
            result.push_back({static_cast<char16_t>(next), static_cast<char16_t>(r.first - 1)});
        next = r.second + 1;
    }
    if (next <= 0xFFFF) result.push_back({static_cast<char16_t>(next), 0xFFFF});
    return result;
}

struct Node {
    enum Kind { Empty, Char, Any, Class, Group, Concat, Alternation, Repeat, Assertion, BackRef, Look };
    explicit Node(Kind k) : kind(k) {}
    Kind kind;
    char16_t ch = 0;
    std::uint32_t index = 0; // group number, class index, back-reference number, assertion op
    bool capturing = false;  // Group
    bool negative = false;   // Look
    std::uint32_t min = 0, max = 0;
    bool greedy = true;
    std::vector<int> kids;
};

class Parser {
public:
    Parser(std::u16string_view pattern, Regex::Program& program) : text_(pattern), program_(program) {
        totalGroups_ = countGroups();
    }

    int parse() {
        int root = disjunction(0);
        if (pos_ < text_.size()) throw LibError{kSyntaxError}; // an unmatched ')'
        return root;
    }

    std::vector<Node> nodes;

private:
    std::u16string_view text_;
    std::size_t pos_ = 0;
    Regex::Program& program_;
    std::uint32_t groups_ = 0;
    std::uint32_t totalGroups_ = 0;

    int add(Node node) {
        nodes.push_back(std::move(node));
        return static_cast<int>(nodes.size() - 1);
    }

    bool atEnd() const { return pos_ >= text_.size(); }
    char16_t peek() const { return text_[pos_]; }

    // Counts capturing groups first so that \N can tell a back-reference from an octal escape.
    std::uint32_t countGroups() const {
        std::uint32_t count = 0;
        bool inClass = false;
        for (std::size_t i = 0; i < text_.size(); ++i) {
            char16_t c = text_[i];
            if (c == u'\\') {
                ++i;
            } else if (inClass) {
                if (c == u']') inClass = false;
            } else if (c == u'[') {
                inClass = true;
            } else if (c == u'(' && !(i + 1 < text_.size() && text_[i + 1] == u'?')) {
                ++count;
            }
        }
        return count;
    }

    int disjunction(int depth) {
        if (depth > kMaxNesting) throw LibError{kOutOfStack};
        std::vector<int> alternatives{alternative(depth)};
        while (!atEnd() && peek() == u'|') {
            ++pos_;
            alternatives.push_back(alternative(depth));
        }
        if (alternatives.size() == 1) return alternatives[0];
        Node node(Node::Alternation);
        node.kids = std::move(alternatives);
        return add(std::move(node));
    }

    int alternative(int depth) {
        Node concat(Node::Concat);
        while (!atEnd() && peek() != u'|' && peek() != u')')
            concat.kids.push_back(term(depth));
        if (concat.kids.empty()) return add(Node(Node::Empty));
        if (concat.kids.size() == 1) return concat.kids[0];
        return add(std::move(concat));
    }

    // Reads {n}, {n,} or {n,m} at pos_; leaves pos_ alone and returns false when it is not one.
    bool braces(std::uint32_t& min, std::uint32_t& max) {
        std::size_t p = pos_ + 1;
        auto number = [&](std::uint32_t& out) {
            std::size_t start = p;
            std::uint64_t value = 0;
            while (p < text_.size() && text_[p] >= u'0' && text_[p] <= u'9') {
                value = std::min<std::uint64_t>(value * 10 + (text_[p] - u'0'), kUnbounded - 1);
                ++p;
            }
            out = static_cast<std::uint32_t>(value);
            return p > start;
        };
        if (!number(min)) return false;
        max = min;
        if (p < text_.size() && text_[p] == u',') {
            ++p;
            if (!number(max)) max = kUnbounded;
        }
        if (p >= text_.size() || text_[p] != u'}') return false;
        pos_ = p + 1;
        return true;
    }

    bool quantifierAhead() {
        if (atEnd()) return false;
        char16_t c = peek();
        if (c == u'*' || c == u'+' || c == u'?') return true;
        if (c != u'{') return false;
        std::size_t saved = pos_;
        std::uint32_t a, b;
        bool is = braces(a, b);
        pos_ = saved;
        return is;
    }

    int term(int depth) {
        bool quantifiable = true;
        int atomNode = atom(depth, quantifiable);
        if (!quantifierAhead()) return atomNode;
        if (!quantifiable) throw LibError{kUnexpectedQuantifier};
        Node repeat(Node::Repeat);
        char16_t c = peek();
        if (c == u'{') {
            braces(repeat.min, repeat.max);
            if (repeat.min > repeat.max) throw LibError{kSyntaxError};
        } else {
            ++pos_;
            repeat.min = c == u'+' ? 1 : 0;
            repeat.max = c == u'?' ? 1 : kUnbounded;
        }
        if (!atEnd() && peek() == u'?') {
            repeat.greedy = false;
            ++pos_;
        }
        if (quantifierAhead()) throw LibError{kUnexpectedQuantifier};
        repeat.kids.push_back(atomNode);
        return add(std::move(repeat));
    }

    int assertion(RegexOp op) {
        Node node(Node::Assertion);
        node.index = static_cast<std::uint32_t>(op);
        return add(std::move(node));
    }

    int atom(int depth, bool& quantifiable) {
        char16_t c = peek();
        switch (c) {
        case u'^':
            ++pos_;
            quantifiable = false;
            return assertion(RegexOp::LineStart);
        case u'$':
            ++pos_;
            quantifiable = false;
            return assertion(RegexOp::LineEnd);
        case u'.':
            ++pos_;
            return add(Node(Node::Any));
        case u'[':
            return characterClass();
        case u'*':
        case u'+':
        case u'?':
            throw LibError{kUnexpectedQuantifier};
        case u'{': {
            std::uint32_t a, b;
            std::size_t saved = pos_;
            if (braces(a, b)) {
                pos_ = saved;
                throw LibError{kUnexpectedQuantifier};
            }
            ++pos_;
            return literal(c);
        }
        case u'(':
            return group(depth);
        case u'\\':
            return escape(quantifiable);
        default:
            ++pos_;
            return literal(c);
        }
    }

    int literal(char16_t c) {
        Node node(Node::Char);
        node.ch = c;
        return add(std::move(node));
    }

    int group(int depth) {
        ++pos_; // (
        Node node(Node::Group);
        if (pos_ + 1 < text_.size() && peek() == u'?') {
            char16_t kind = text_[pos_ + 1];
            if (kind == u':') {
                node.kind = Node::Group;
            } else if (kind == u'=' || kind == u'!') {
                node.kind = Node::Look;
                node.negative = kind == u'!';
            } else {
                throw LibError{kSyntaxError};
            }
            pos_ += 2;
        } else if (!atEnd() && peek() == u'?') {
            throw LibError{kUnexpectedQuantifier};
        } else {
            node.capturing = true;
            node.index = ++groups_;
        }
        node.kids.push_back(disjunction(depth + 1));
        if (atEnd() || peek() != u')') throw LibError{kExpectedParen};
        ++pos_;
        return add(std::move(node));
    }

    int classNode(Ranges ranges, bool negated) {
        RegexClass cls;
        cls.ranges = normalized(std::move(ranges));
        cls.negated = negated;
        program_.classes.push_back(std::move(cls));
        Node node(Node::Class);
        node.index = static_cast<std::uint32_t>(program_.classes.size() - 1);
        return add(std::move(node));
    }

    static int hexDigit(char16_t c) {
        if (c >= u'0' && c <= u'9') return c - u'0';
        if (c >= u'a' && c <= u'f') return c - u'a' + 10;
        if (c >= u'A' && c <= u'F') return c - u'A' + 10;
        return -1;
    }

    // Reads `count` hex digits after pos_; -1 (and pos_ untouched) when they are not there.
    int hexAfter(int count) {
        if (pos_ + count > text_.size()) return -1;
        int value = 0;
        for (int i = 0; i < count; ++i) {
            int d = hexDigit(text_[pos_ + i]);
            if (d < 0) return -1;
            value = value * 16 + d;
        }
        pos_ += count;
        return value;
    }

    // One escaped unit shared by atoms and classes; pos_ is just past the backslash and its letter.
    // Returns -1 when the letter is not a unit escape.
    int unitEscape(char16_t letter, bool inClass) {
        switch (letter) {
        case u't':
            return 0x09;
        case u'n':
            return 0x0A;
        case u'v':
            return 0x0B;
        case u'f':
            return 0x0C;
        case u'r':
            return 0x0D;
        case u'b':
            return inClass ? 0x08 : -1;
        case u'x': {
            int v = hexAfter(2);
            return v >= 0 ? v : u'x';
        }
        case u'u': {
            int v = hexAfter(4);
            return v >= 0 ? v : u'u';
        }
        case u'c': {
            if (!atEnd()) {
                char16_t control = peek();
                if ((control >= u'a' && control <= u'z') || (control >= u'A' && control <= u'Z')) {
                    ++pos_;
                    return control % 32;
                }
            }
            --pos_; // "\c" not followed by a letter is a backslash and a 'c'
            return u'\\';
        }
        case u'0': {
            // Octal escape: \0, \07, \077
            int value = 0;
            for (int i = 0; i < 2 && !atEnd() && peek() >= u'0' && peek() <= u'7'; ++i)
                value = value * 8 + (text_[pos_++] - u'0');
            return value;
        }
        default:
            return -1;
        }
    }

    static const Ranges* classEscape(char16_t letter, bool& negated) {
        negated = letter == u'D' || letter == u'W' || letter == u'S';
        switch (letter) {
        case u'd':
        case u'D':
            return &kDigits;
        case u'w':
        case u'W':
            return &kWord;
        case u's':
        case u'S':
            return &kSpace;
        default:
            return nullptr;
        }
    }

    int escape(bool& quantifiable) {
        ++pos_; // backslash
        if (atEnd()) throw LibError{kSyntaxError};
        char16_t letter = text_[pos_++];
        if (letter == u'b' || letter == u'B') {
            quantifiable = false;
            return assertion(letter == u'b' ? RegexOp::WordBoundary : RegexOp::NotWordBoundary);
        }
        bool negated;
        if (const Ranges* set = classEscape(letter, negated)) return classNode(*set, negated);
        if (letter >= u'1' && letter <= u'9') {
            // A back-reference when such a group exists, else an octal escape or the digit itself.
            std::uint32_t number = letter - u'0';
            if (!atEnd() && peek() >= u'0' && peek() <= u'9' && number * 10 + (peek() - u'0') <= totalGroups_)
                number = number * 10 + (text_[pos_++] - u'0');
            if (number <= totalGroups_) {
                Node node(Node::BackRef);
                node.index = number;
                return add(std::move(node));
            }
            if (letter <= u'7') {
                int value = letter - u'0';
                for (int i = 0; i < 2 && !atEnd() && peek() >= u'0' && peek() <= u'7'; ++i)
                    value = value * 8 + (text_[pos_++] - u'0');
                if (value <= 0xFF) return literal(static_cast<char16_t>(value));
            }
            return literal(letter);
        }
        int unit = unitEscape(letter, false);
        return literal(unit >= 0 ? static_cast<char16_t>(unit) : letter);
    }

    // One class member: a unit (returned) or a whole set added to `ranges` (returns -1).
    int classAtom(Ranges& ranges) {
        char16_t c = text_[pos_++];
        if (c != u'\\') return c;
        if (atEnd()) throw LibError{kExpectedBracket};
        char16_t letter = text_[pos_++];
        bool negated;
        if (const Ranges* set = classEscape(letter, negated)) {
            Ranges add = negated ? complement(*set) : *set;
            ranges.insert(ranges.end(), add.begin(), add.end());
            return -1;
        }
        if (letter >= u'1' && letter <= u'7') { // octal in a class
            int value = letter - u'0';
            for (int i = 0; i < 2 && !atEnd() && peek() >= u'0' && peek() <= u'7'; ++i)
                value = value * 8 + (text_[pos_++] - u'0');
            if (value <= 0xFF) return value;
        }
        int unit = unitEscape(letter, true);
        return unit >= 0 ? unit : letter;
    }

    int characterClass() {
        ++pos_; // [
        bool negated = false;
        if (!atEnd() && peek() == u'^') {
            negated = true;
            ++pos_;
        }
        Ranges ranges;
        while (true) {
            if (atEnd()) throw LibError{kExpectedBracket};
            if (peek() == u']') {
                ++pos_;
                break;
            }
            int low = classAtom(ranges);
            if (pos_ + 1 < text_.size() && peek() == u'-' && text_[pos_ + 1] != u']') {
                ++pos_; // -
                int high = classAtom(ranges);
                if (low < 0 || high < 0) {
                    // A set at either end makes the dash a plain member: [\d-z]
                    if (low >= 0) ranges.push_back({static_cast<char16_t>(low), static_cast<char16_t>(low)});
                    if (high >= 0)
                        ranges.push_back({static_cast<char16_t>(high), static_cast<char16_t>(high)});
                    ranges.push_back({u'-', u'-'});
                    continue;
                }
                if (low > high) throw LibError{kInvalidRange};
                ranges.push_back({static_cast<char16_t>(low), static_cast<char16_t>(high)});
            } else if (low >= 0) {
                ranges.push_back({static_cast<char16_t>(low), static_cast<char16_t>(low)});
            }
        }
        return classNode(std::move(ranges), negated);
    }
};

class Generator {
public:
    Generator(const std::vector<Node>& nodes, Regex::Program& program) : nodes_(nodes), program_(program) {}

    void generate(int root) {
        emit(RegexOp::Save, 0);
        node(root);
        emit(RegexOp::Save, 1);
        emit(RegexOp::Match);
    }

private:
    const std::vector<Node>& nodes_;
    Regex::Program& program_;

    std::uint32_t here() const { return static_cast<std::uint32_t>(program_.code.size()); }

    std::uint32_t emit(RegexOp op, std::uint32_t arg = 0, std::uint32_t x = 0, std::uint32_t y = 0) {
        if (program_.code.size() >= kMaxCode) throw LibError{kSyntaxError};
        program_.code.push_back({op, arg, x, y});
        return here() - 1;
    }

    bool nullable(int index) const {
        const Node& n = nodes_[index];
        switch (n.kind) {
        case Node::Char:
        case Node::Any:
        case Node::Class:
            return false;
        case Node::Group:
            return nullable(n.kids[0]);
        case Node::Concat:
            return std::all_of(n.kids.begin(), n.kids.end(), [&](int k) { return nullable(k); });
        case Node::Alternation:
            return std::any_of(n.kids.begin(), n.kids.end(), [&](int k) { return nullable(k); });
        case Node::Repeat:
            return n.min == 0 || nullable(n.kids[0]);
        default:
            return true;
        }
    }

    void node(int index) {
        const Node& n = nodes_[index];
        switch (n.kind) {
        case Node::Empty:
            break;
        case Node::Char:
            emit(RegexOp::Char, program_.flags.ignoreCase ? toUpper(n.ch) : n.ch);
            break;
        case Node::Any:
            emit(RegexOp::Any);
            break;
        case Node::Class:
            emit(RegexOp::Class, n.index);
            break;
        case Node::Assertion:
            emit(static_cast<RegexOp>(n.index));
            break;
        case Node::BackRef:
            emit(RegexOp::BackRef, n.index);
            break;
        case Node::Group:
            if (n.capturing) emit(RegexOp::Save, 2 * n.index);
            node(n.kids[0]);
            if (n.capturing) emit(RegexOp::Save, 2 * n.index + 1);
            break;
        case Node::Look: {
            std::uint32_t look = emit(RegexOp::LookAhead, n.negative ? 1 : 0);
            node(n.kids[0]);
            emit(RegexOp::LookEnd);
            program_.code[look].x = here();
            break;
        }
        case Node::Concat:
            for (int kid : n.kids)
                node(kid);
            break;
        case Node::Alternation: {
            std::vector<std::uint32_t> exits;
            for (std::size_t i = 0; i < n.kids.size(); ++i) {
                if (i + 1 < n.kids.size()) {
                    std::uint32_t split = emit(RegexOp::Split);
                    program_.code[split].x = here();
                    node(n.kids[i]);
                    exits.push_back(emit(RegexOp::Jump));
                    program_.code[split].y = here();
                } else {
                    node(n.kids[i]);
                }
            }
            for (auto e : exits)
                program_.code[e].x = here();
            break;
        }
        case Node::Repeat:
            repeat(n);
            break;
        }
    }

    // A split whose preferred branch is `first` when greedy.
    void setSplit(std::uint32_t split, std::uint32_t body, std::uint32_t exit, bool greedy) {
        program_.code[split].x = greedy ? body : exit;
        program_.code[split].y = greedy ? exit : body;
    }

    void repeat(const Node& n) {
        int body = n.kids[0];
        bool canBeEmpty = nullable(body);
        if (n.max == kUnbounded && n.min >= 1 && !canBeEmpty) {
            // x{n,}: n-1 copies, then one copy that loops back on itself.
            for (std::uint32_t i = 1; i < n.min; ++i)
                node(body);
            std::uint32_t top = here();
            node(body);
            std::uint32_t split = emit(RegexOp::Split);
            setSplit(split, top, here(), n.greedy);
            return;
        }
        for (std::uint32_t i = 0; i < n.min; ++i)
            node(body);
        if (n.max == kUnbounded) {
            std::uint32_t reg = 0;
            if (canBeEmpty) reg = static_cast<std::uint32_t>(program_.registerCount++);
            std::uint32_t split = emit(RegexOp::Split);
            std::uint32_t start = here();
            if (canBeEmpty) emit(RegexOp::RepeatStart, reg);
            node(body);
            if (canBeEmpty) emit(RegexOp::RepeatCheck, reg);
            emit(RegexOp::Jump, 0, split);
            setSplit(split, start, here(), n.greedy);
            return;
        }
        std::vector<std::uint32_t> splits;
        for (std::uint32_t i = n.min; i < n.max; ++i) {
            splits.push_back(emit(RegexOp::Split));
            program_.code[splits.back()].x = here();
            node(body);
        }
        for (auto split : splits)
            setSplit(split, program_.code[split].x, here(), n.greedy);
    }
};

} // namespace

bool RegexClass::inRanges(char16_t c) const {
    // Few ranges in practice: a linear scan of the sorted list beats a binary search.
    for (const auto& r : ranges) {
        if (c < r.first) return false;
        if (c <= r.second) return true;
    }
    return false;
}

std::shared_ptr<const Regex::Program> compileRegex(std::u16string_view pattern, RegexFlags flags) {
    auto program = std::make_shared<Regex::Program>();
    program->flags = flags;
    Parser parser(pattern, *program);
    int root = parser.parse();
    program->groupCount = std::count_if(parser.nodes.begin(), parser.nodes.end(),
                                        [](const Node& n) { return n.kind == Node::Group && n.capturing; });
    Generator(parser.nodes, *program).generate(root);
    program->anchoredAtStart =
        !flags.multiline && program->code.size() > 1 && program->code[1].op == RegexOp::LineStart;
    return program;
}

} // namespace vbscript::lib
