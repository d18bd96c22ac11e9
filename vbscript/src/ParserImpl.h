// The parser: tokens in, executable tree out. Its members are defined in Parser.cpp (program, tokens,
// declarations), ParserStatements.cpp and ParserExpressions.cpp.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Ast.h"
#include "Lexer.h"
#include "vbscript/ScriptError.h"

namespace vbscript::detail {

constexpr int kMaxNesting = 400;
constexpr int kMaxExprDepth = 3000;

class Parser {
public:
    Parser(Interp& in, std::u16string_view text, Procedure* scope)
        : in_(in), toks_(tokenize(text)), outerScope_(scope) {}

    std::unique_ptr<Chunk> program(bool expressionOnly);

private:
    enum class BlockEnd { Program, End, If, Loop, Next, Wend, Case };

    Interp& in_;
    std::vector<Token> toks_;
    size_t pos_ = 0;
    Procedure* outerScope_;
    std::unique_ptr<Chunk> chunk_;
    Procedure* cur_ = nullptr;
    ClassDef* class_ = nullptr;
    bool explicit_ = false;
    int nesting_ = 0;
    int forDepth_ = 0, doDepth_ = 0;
    int withCounter_ = 0;
    ExprPtr seed_;
    std::vector<StmtPtr> hoisted_; // declarations that take effect before the chunk's first statement

    const Token& peek(size_t k = 0) const { return toks_[std::min(pos_ + k, toks_.size() - 1)]; }
    const Token& next() { return toks_[pos_ < toks_.size() - 1 ? pos_++ : pos_]; }

    [[noreturn]] void fail(int number) { fail(number, peek()); }
    [[noreturn]] void fail(int number, const Token& t);

    void skipNewlines();
    bool atEndOfStatement() const;
    void endOfStatement();
    void expectOp(const char* op, int err);
    void expectKw(Kw k, int err);
    // Keywords that only mean something in one place and otherwise name variables.
    static bool contextual(Kw k);
    std::u16string identifier();
    // Member names after '.' may be keywords.
    std::u16string memberName();
    struct NestGuard {
        Parser& p;
        explicit NestGuard(Parser& pp) : p(pp) {
            if (++p.nesting_ > kMaxNesting) p.fail(28);
        }
        ~NestGuard() { --p.nesting_; }
    };

    template <typename T> std::unique_ptr<T> at(std::unique_ptr<T> n, const Token& t) {
        n->line = t.line;
        n->col = t.col;
        if constexpr (std::is_base_of_v<Expr, T>) {
            // Evaluating and freeing a tree recurses once per level: keep it well within the stack.
            if (n->depth > kMaxExprDepth) fail(28, t);
        }
        return n;
    }

    // ---- declarations ----

    int declareLocal(Procedure* p, const std::u16string& name, const Token& where);

    ExprPtr nameRef(const std::u16string& name, const Token& t);

    void noteAssigned(const std::u16string& name);

    // A procedure's variable that exists only if nothing else has the name when it is first used.
    void noteImplicitLocal(const std::u16string& name);

    // True while parsing the top-level code that Execute runs inside a procedure.
    bool executedInProcedure() const { return cur_->global && outerScope_; }

    std::vector<int32_t> constBounds();

    // Dim / Public / Private variable lists.
    void varList(Block& out, bool inClass, bool isPublic);

    void pendingGlobal(const std::u16string& name);

    void constDecl(Block& out, bool inClass);

    std::vector<Param> params(Procedure* p);

    void procedure(bool isPublic, bool isDefault);

    void classDecl();

    // ---- statements ----

    bool isBlockEnd(BlockEnd kind) const;

    Block block(BlockEnd kind);

    void statement(Block& out, bool /*topLevel*/);

    // Assignment or procedure call.
    void simpleStatement(Block& out);

    bool sameLineStatementFollows() const;

    void ifStatement(Block& out);

    // Statements separated by ':' up to the end of the line (or an Else of a single-line If).
    void lineStatements(Block& b);

    ExprPtr loopVariable();

    void forStatement(Block& out);

    void doStatement(Block& out);

    void whileStatement(Block& out);

    void selectStatement(Block& out);

    ExprPtr hiddenVariable(const Token& t);

    std::vector<ExprPtr*> withStack_;
    std::vector<NameExpr*> withSlots_;

    void withStatement(Block& out);

    void exitStatement(Block& out);

    void redimStatement(Block& out);

    // ---- expressions ----

    ExprPtr expr();

    template <typename Sub> ExprPtr binaryLevel(Sub sub, std::initializer_list<std::pair<Kw, Op>> ops) {
        ExprPtr left = (this->*sub)();
        for (;;) {
            const Token& t = peek();
            bool matched = false;
            for (auto [kw, op] : ops) {
                if (t.is(kw)) {
                    next();
                    ExprPtr right = (this->*sub)();
                    left = at(std::make_unique<BinaryExpr>(op, std::move(left), std::move(right)), t);
                    matched = true;
                    break;
                }
            }
            if (!matched) return left;
        }
    }
    ExprPtr impExpr() { return binaryLevel(&Parser::eqvExpr, {{Kw::Imp, Op::Imp}}); }
    ExprPtr eqvExpr() { return binaryLevel(&Parser::xorExpr, {{Kw::Eqv, Op::Eqv}}); }
    ExprPtr xorExpr() { return binaryLevel(&Parser::orExpr, {{Kw::Xor, Op::Xor}}); }
    ExprPtr orExpr() { return binaryLevel(&Parser::andExpr, {{Kw::Or, Op::Or}}); }
    ExprPtr andExpr() { return binaryLevel(&Parser::notExpr, {{Kw::And, Op::And}}); }
    ExprPtr notExpr();
    ExprPtr compareExpr();
    ExprPtr opLevel(ExprPtr (Parser::*sub)(), std::initializer_list<std::pair<const char*, Op>> ops);
    ExprPtr concatExpr() { return opLevel(&Parser::addExpr, {{"&", Op::Concat}}); }
    ExprPtr addExpr() { return opLevel(&Parser::modExpr, {{"+", Op::Add}, {"-", Op::Sub}}); }
    ExprPtr modExpr();
    ExprPtr intDivExpr() { return opLevel(&Parser::mulExpr, {{"\\", Op::IntDiv}}); }
    ExprPtr mulExpr() { return opLevel(&Parser::powExpr, {{"*", Op::Mul}, {"/", Op::Div}}); }
    // '^' binds looser than unary minus here: -3^2 is 9.
    ExprPtr powExpr();
    ExprPtr unaryExpr();

    std::vector<ExprPtr> argList();

    ExprPtr postfix(ExprPtr e);

    ExprPtr primary();
};

} // namespace vbscript::detail
