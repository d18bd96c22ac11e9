// Splits script text into tokens: names and keywords without regard to case, literals, operators.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "vbscript/Variant.h"

namespace vbscript::detail {

enum class Tok : uint8_t {
    End,
    Newline, // end of line or ':'
    Name,    // identifier or keyword (see Token::kw)
    Number,  // Token::value holds the typed value
    String,
    Date,
    Op, // Token::op
};

// ORDER RESERVED: keep in step with kKeywords in Lexer.cpp.
enum class Kw : uint8_t {
    None,
    And,
    ByRef,
    ByVal,
    Call,
    Case,
    Class,
    Const,
    Default,
    Dim,
    Do,
    Each,
    Else,
    ElseIf,
    Empty,
    End,
    Eqv,
    Erase,
    Error,
    Exit,
    Explicit,
    False,
    For,
    Function,
    Get,
    GoTo,
    If,
    Imp,
    In,
    Is,
    Let,
    Loop,
    Me,
    Mod,
    New,
    Next,
    Not,
    Nothing,
    Null,
    On,
    Option,
    Or,
    Preserve,
    Private,
    Property,
    Public,
    ReDim,
    Rem,
    Resume,
    Select,
    Set,
    Step,
    Stop,
    Sub,
    Then,
    To,
    True,
    Until,
    Wend,
    While,
    With,
    Xor,
};

struct Token {
    Tok type = Tok::End;
    Kw kw = Kw::None;
    char op[3] = {0, 0, 0}; // "(", "<=", ...
    bool spaceBefore = false;
    bool bracketed = false; // [name]: never a keyword
    bool colon = false;     // a Newline that came from ':'
    int line = 1;
    int col = 1;
    std::u16string text;
    Variant value;

    bool isOp(const char* o) const { return type == Tok::Op && op[0] == o[0] && op[1] == o[1]; }
    bool is(Kw k) const { return type == Tok::Name && kw == k; }
};

// Tokenizes the whole text; a lexical error throws ScriptError (1032, 1033, 1031, ...) with its place.
std::vector<Token> tokenize(std::u16string_view text);

Kw keywordOf(std::u16string_view name);

} // namespace vbscript::detail
