#include "Lexer.h"

#include <cmath>

#include "lib/DateTime.h"
#include "vbscript/ScriptError.h"

namespace vbscript::detail {

namespace {

// ORDER RESERVED: same order as enum Kw.
constexpr const char16_t* kKeywords[] = {
    u"",        u"and",    u"byref",    u"byval",   u"call",     u"case",    u"class", u"const",
    u"default", u"dim",    u"do",       u"each",    u"else",     u"elseif",  u"empty", u"end",
    u"eqv",     u"erase",  u"error",    u"exit",    u"explicit", u"false",   u"for",   u"function",
    u"get",     u"goto",   u"if",       u"imp",     u"in",       u"is",      u"let",   u"loop",
    u"me",      u"mod",    u"new",      u"next",    u"not",      u"nothing", u"null",  u"on",
    u"option",  u"or",     u"preserve", u"private", u"property", u"public",  u"redim", u"rem",
    u"resume",  u"select", u"set",      u"step",    u"stop",     u"sub",     u"then",  u"to",
    u"true",    u"until",  u"wend",     u"while",   u"with",     u"xor",
};

bool isLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c >= 0xC0;
}
bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}
bool isSpace(char16_t c) {
    return c == u' ' || c == u'\t' || c == 0xA0 || c == u'\f' || c == u'\v';
}

[[noreturn]] void fail(int number, int line, int col) {
    ScriptError e(number);
    e.line = line;
    e.column = col;
    throw e;
}

} // namespace

Kw keywordOf(std::u16string_view name) {
    if (name.size() < 2 || name.size() > 8) return Kw::None;
    char16_t low[9];
    for (size_t i = 0; i < name.size(); ++i) {
        char16_t c = name[i];
        low[i] = (c >= u'A' && c <= u'Z') ? c + 32 : c;
    }
    std::u16string_view l(low, name.size());
    for (size_t i = 1; i < std::size(kKeywords); ++i)
        if (l == kKeywords[i]) return static_cast<Kw>(i);
    return Kw::None;
}

std::vector<Token> tokenize(std::u16string_view s) {
    std::vector<Token> out;
    size_t i = 0, n = s.size();
    int line = 1;
    size_t lineStart = 0;
    bool space = true;
    auto push = [&](Token t) {
        t.spaceBefore = space;
        space = false;
        out.push_back(std::move(t));
    };
    auto newline = [&](size_t at, bool colon = false) {
        space = true;
        // A ':' right before a line break stays a token of its own: "If x Then :" is a one-line If.
        if (!out.empty() && out.back().type == Tok::Newline && (colon || !out.back().colon)) return;
        Token t;
        t.type = Tok::Newline;
        t.colon = colon;
        t.line = line;
        t.col = static_cast<int>(at - lineStart) + 1;
        out.push_back(std::move(t));
    };
    while (i < n) {
        char16_t c = s[i];
        int col = static_cast<int>(i - lineStart) + 1;
        if (isSpace(c)) {
            ++i;
            space = true;
            continue;
        }
        if (c == u'\r' || c == u'\n') {
            newline(i);
            if (c == u'\r' && i + 1 < n && s[i + 1] == u'\n') ++i;
            ++i;
            ++line;
            lineStart = i;
            continue;
        }
        if (c == u':') {
            newline(i, true);
            ++i;
            continue;
        }
        if (c == u'\'') {
            while (i < n && s[i] != u'\r' && s[i] != u'\n')
                ++i;
            continue;
        }
        if (c == u'_') {
            // Line continuation: '_' followed by only spaces up to the end of the line.
            size_t j = i + 1;
            while (j < n && isSpace(s[j]))
                ++j;
            if (j >= n || s[j] == u'\r' || s[j] == u'\n') {
                if (j < n && s[j] == u'\r' && j + 1 < n && s[j + 1] == u'\n') ++j;
                i = j + 1;
                ++line;
                lineStart = i;
                space = false;
                continue;
            }
            fail(1032, line, col);
        }
        bool afterDot = !out.empty() && out.back().type == Tok::Op && out.back().op[0] == '.' &&
                        out.back().op[1] == 0 && !space;
        if (isLetter(c)) {
            size_t j = i;
            while (j < n && (isLetter(s[j]) || isDigit(s[j]) || s[j] == u'_'))
                ++j;
            Token t;
            t.type = Tok::Name;
            t.text = std::u16string(s.substr(i, j - i));
            t.line = line;
            t.col = col;
            if (t.text.size() > 255) fail(1030, line, col);
            t.kw = afterDot ? Kw::None : keywordOf(t.text);
            if (t.kw == Kw::Rem) {
                while (j < n && s[j] != u'\r' && s[j] != u'\n')
                    ++j;
                i = j;
                continue;
            }
            i = j;
            push(std::move(t));
            continue;
        }
        if (c == u'[') {
            size_t j = i + 1;
            while (j < n && s[j] != u']' && s[j] != u'\r' && s[j] != u'\n')
                ++j;
            if (j >= n || s[j] != u']') fail(1007, line, col);
            Token t;
            t.type = Tok::Name;
            t.bracketed = true;
            t.text = std::u16string(s.substr(i + 1, j - i - 1));
            t.line = line;
            t.col = col;
            i = j + 1;
            push(std::move(t));
            continue;
        }
        if (c == u'"') {
            std::u16string str;
            size_t j = i + 1;
            for (;;) {
                if (j >= n || s[j] == u'\r' || s[j] == u'\n') fail(1033, line, col);
                if (s[j] == u'"') {
                    if (j + 1 < n && s[j + 1] == u'"') {
                        str.push_back(u'"');
                        j += 2;
                        continue;
                    }
                    break;
                }
                str.push_back(s[j++]);
            }
            Token t;
            t.type = Tok::String;
            t.value = Variant(std::move(str));
            t.line = line;
            t.col = col;
            i = j + 1;
            push(std::move(t));
            continue;
        }
        if (c == u'#') {
            size_t j = i + 1;
            while (j < n && s[j] != u'#' && s[j] != u'\r' && s[j] != u'\n')
                ++j;
            if (j >= n || s[j] != u'#') fail(1032, line, col);
            auto d = lib::parseDate(s.substr(i + 1, j - i - 1));
            if (!d) fail(1032, line, col);
            Token t;
            t.type = Tok::Date;
            t.value = Variant::fromDate(*d);
            t.line = line;
            t.col = col;
            i = j + 1;
            push(std::move(t));
            continue;
        }
        auto isHexDigit = [](char16_t d) {
            return isDigit(d) || (d >= u'a' && d <= u'f') || (d >= u'A' && d <= u'F');
        };
        if (c == u'&' && i + 1 < n &&
            (((s[i + 1] == u'H' || s[i + 1] == u'h') && i + 2 < n && isHexDigit(s[i + 2])) ||
             ((s[i + 1] == u'O' || s[i + 1] == u'o') && i + 2 < n && isDigit(s[i + 2])) ||
             isDigit(s[i + 1]))) {
            bool hex = s[i + 1] == u'H' || s[i + 1] == u'h';
            size_t j = i + (isDigit(s[i + 1]) ? 1 : 2);
            uint64_t v = 0;
            size_t start = j;
            bool overflow = false;
            while (j < n) {
                char16_t d = s[j];
                int dv;
                if (isDigit(d))
                    dv = d - u'0';
                else if (hex && d >= u'a' && d <= u'f')
                    dv = d - u'a' + 10;
                else if (hex && d >= u'A' && d <= u'F')
                    dv = d - u'A' + 10;
                else
                    break;
                if (!hex && dv > 7) fail(1002, line, col);
                v = v * (hex ? 16 : 8) + dv;
                if (v > 0xFFFFFFFFull) overflow = true;
                ++j;
            }
            if (j == start) fail(1002, line, col);
            if (j < n && isDigit(s[j])) fail(1002, line, col);
            if (overflow) fail(1031, line, col);
            bool forceLong = j < n && s[j] == u'&';
            if (forceLong) ++j;
            Token t;
            t.type = Tok::Number;
            // The value is the 16-bit (or with '&' or when wider, 32-bit) pattern; its type is the
            // smallest that holds it, except -32768, which VBScript gives as a Long.
            int32_t sv = (!forceLong && v <= 0xFFFF) ? static_cast<int16_t>(static_cast<uint16_t>(v))
                                                     : static_cast<int32_t>(static_cast<uint32_t>(v));
            if (sv >= -32767 && sv <= 32767)
                t.value = Variant::fromInteger(static_cast<int16_t>(sv));
            else
                t.value = Variant::fromLong(sv);
            t.line = line;
            t.col = col;
            i = j;
            push(std::move(t));
            continue;
        }
        if (isDigit(c) ||
            (c == u'.' && i + 1 < n && isDigit(s[i + 1]) && !afterDot &&
             !(out.size() && !space && (out.back().type == Tok::Name || out.back().isOp(")"))))) {
            size_t j = i;
            bool isFloat = false;
            while (j < n && isDigit(s[j]))
                ++j;
            if (j < n && s[j] == u'.') {
                isFloat = true;
                ++j;
                while (j < n && isDigit(s[j]))
                    ++j;
            }
            if (j < n && (s[j] == u'e' || s[j] == u'E')) {
                size_t k = j + 1;
                if (k < n && (s[k] == u'+' || s[k] == u'-')) ++k;
                if (k < n && isDigit(s[k])) {
                    isFloat = true;
                    j = k;
                    while (j < n && isDigit(s[j]))
                        ++j;
                }
            }
            std::string text(s.begin() + i, s.begin() + j);
            double d = std::strtod(text.c_str(), nullptr);
            if (!std::isfinite(d)) fail(1031, line, col);
            Token t;
            t.type = Tok::Number;
            if (!isFloat && d <= 32767)
                t.value = Variant::fromInteger(static_cast<int16_t>(d));
            else if (!isFloat && d <= 2147483647.0)
                t.value = Variant::fromLong(static_cast<int32_t>(d));
            else
                t.value = Variant(d);
            t.line = line;
            t.col = col;
            i = j;
            push(std::move(t));
            continue;
        }
        Token t;
        t.type = Tok::Op;
        t.line = line;
        t.col = col;
        auto two = [&](char16_t a, char16_t b) { return c == a && i + 1 < n && s[i + 1] == b; };
        if (two(u'<', u'>') || two(u'<', u'=') || two(u'>', u'=') || two(u'=', u'<') || two(u'=', u'>') ||
            two(u'>', u'<')) {
            char a = static_cast<char>(c), b = static_cast<char>(s[i + 1]);
            // "=<", "=>" and "><" are accepted spellings of "<=", ">=" and "<>".
            if (a == '=' && b == '<')
                a = '<', b = '=';
            else if (a == '=' && b == '>')
                a = '>', b = '=';
            else if (a == '>' && b == '<')
                a = '<', b = '>';
            t.op[0] = a;
            t.op[1] = b;
            i += 2;
            push(std::move(t));
            continue;
        }
        switch (c) {
        case u'(':
        case u')':
        case u',':
        case u'.':
        case u'&':
        case u'+':
        case u'-':
        case u'*':
        case u'/':
        case u'\\':
        case u'^':
        case u'=':
        case u'<':
        case u'>':
            t.op[0] = static_cast<char>(c);
            ++i;
            push(std::move(t));
            continue;
        default:
            fail(1032, line, col);
        }
    }
    newline(n);
    Token end;
    end.type = Tok::End;
    end.line = line;
    end.col = static_cast<int>(n - lineStart) + 1;
    out.push_back(std::move(end));
    return out;
}

} // namespace vbscript::detail
