#include "ParserImpl.h"

namespace vbscript::detail {

ExprPtr Parser::expr() {
    NestGuard guard(*this);
    return impExpr();
}

ExprPtr Parser::notExpr() {
    if (!seed_ && peek().is(Kw::Not)) {
        const Token& t = next();
        NestGuard guard(*this);
        return at(std::make_unique<UnaryExpr>(true, notExpr()), t);
    }
    return compareExpr();
}

ExprPtr Parser::compareExpr() {
    ExprPtr left = concatExpr();
    for (;;) {
        const Token& t = peek();
        Op op;
        if (t.isOp("="))
            op = Op::Eq;
        else if (t.isOp("<>"))
            op = Op::Ne;
        else if (t.isOp("<="))
            op = Op::Le;
        else if (t.isOp(">="))
            op = Op::Ge;
        else if (t.isOp("<"))
            op = Op::Lt;
        else if (t.isOp(">"))
            op = Op::Gt;
        else if (t.is(Kw::Is))
            op = Op::Is;
        else
            return left;
        next();
        ExprPtr right = peek().is(Kw::Not) ? notExpr() : concatExpr();
        left = at(std::make_unique<BinaryExpr>(op, std::move(left), std::move(right)), t);
    }
}

ExprPtr Parser::opLevel(ExprPtr (Parser::*sub)(), std::initializer_list<std::pair<const char*, Op>> ops) {
    ExprPtr left = (this->*sub)();
    for (;;) {
        const Token& t = peek();
        bool matched = false;
        for (auto [o, op] : ops) {
            if (t.isOp(o)) {
                next();
                ExprPtr right = peek().is(Kw::Not) ? notExpr() : (this->*sub)();
                left = at(std::make_unique<BinaryExpr>(op, std::move(left), std::move(right)), t);
                matched = true;
                break;
            }
        }
        if (!matched) return left;
    }
}

ExprPtr Parser::modExpr() {
    ExprPtr left = intDivExpr();
    while (peek().is(Kw::Mod)) {
        const Token& t = next();
        ExprPtr right = intDivExpr();
        left = at(std::make_unique<BinaryExpr>(Op::Mod, std::move(left), std::move(right)), t);
    }
    return left;
}

ExprPtr Parser::powExpr() {
    ExprPtr left = unaryExpr();
    while (peek().isOp("^")) {
        const Token& t = next();
        ExprPtr right = unaryExpr();
        left = at(std::make_unique<BinaryExpr>(Op::Pow, std::move(left), std::move(right)), t);
    }
    return left;
}

ExprPtr Parser::unaryExpr() {
    if (seed_) return postfix(primary());
    const Token& t = peek();
    if (t.isOp("-") || t.isOp("+")) {
        bool neg = t.isOp("-");
        next();
        NestGuard guard(*this);
        ExprPtr e = unaryExpr();
        if (!neg) return e;
        // Fold negative literals so that -32768 stays an Integer.
        if (e->kind == ExprKind::Literal) {
            auto* lit = static_cast<LiteralExpr*>(e.get());
            const Variant& v = lit->value;
            if (v.type() == VarType::Long && v.longValue() == 32768) {
                auto folded = at(std::make_unique<LiteralExpr>(Variant::fromLong(-32768)), t);
                folded->literal = false;
                return folded;
            }
            if (v.type() == VarType::Double && v.dbl() == 2147483648.0) {
                auto folded = at(std::make_unique<LiteralExpr>(Variant::fromLong(INT32_MIN)), t);
                folded->literal = false;
                return folded;
            }
            if (v.type() == VarType::Integer || v.type() == VarType::Long || v.type() == VarType::Double) {
                // A negative number is an expression to VBScript's comparison rules, not a literal.
                auto folded = at(std::make_unique<LiteralExpr>(opNeg(v)), t);
                folded->literal = false;
                return folded;
            }
        }
        return at(std::make_unique<UnaryExpr>(false, std::move(e)), t);
    }
    if (t.is(Kw::Not)) {
        next();
        NestGuard guard(*this);
        return at(std::make_unique<UnaryExpr>(true, notExpr()), t);
    }
    return postfix(primary());
}

std::vector<ExprPtr> Parser::argList() {
    std::vector<ExprPtr> args;
    next(); // '('
    if (peek().isOp(")")) {
        next();
        return args;
    }
    for (;;) {
        if (peek().isOp(",") || peek().isOp(")")) {
            // An omitted argument: the callee sees it as missing (Empty).
            args.push_back(at(std::make_unique<LiteralExpr>(Variant()), peek()));
            if (peek().isOp(",")) {
                next();
                continue;
            }
            expectOp(")", 1006);
            break;
        }
        args.push_back(expr());
        if (peek().isOp(",")) {
            next();
            continue;
        }
        expectOp(")", 1006);
        break;
    }
    return args;
}

ExprPtr Parser::postfix(ExprPtr e) {
    for (;;) {
        const Token& t = peek();
        if (t.isOp(".") && !t.spaceBefore) {
            next();
            std::u16string name = memberName();
            e = at(std::make_unique<MemberExpr>(std::move(e), std::move(name)), t);
            continue;
        }
        if (t.isOp("(") && e->kind != ExprKind::Literal) {
            auto args = argList();
            // `(f)(x)` calls f, `(a)(0)` indexes a.
            while (e->kind == ExprKind::Paren)
                e = std::move(static_cast<ParenExpr*>(e.get())->inner);
            e = at(std::make_unique<CallExpr>(std::move(e), std::move(args)), t);
            continue;
        }
        return e;
    }
}

ExprPtr Parser::primary() {
    if (seed_) return std::move(seed_);
    const Token& t = peek();
    switch (t.type) {
    case Tok::Number:
    case Tok::String:
    case Tok::Date:
        next();
        return at(std::make_unique<LiteralExpr>(t.value), t);
    case Tok::Op:
        if (t.isOp("(")) {
            next();
            ExprPtr inner = expr();
            expectOp(")", 1006);
            return at(std::make_unique<ParenExpr>(std::move(inner)), t);
        }
        if (t.isOp(".")) {
            next();
            std::u16string name = memberName();
            if (withSlots_.empty())
                return at(
                    std::make_unique<MemberExpr>(at(std::make_unique<NoWithExpr>(), t), std::move(name)), t);
            auto slot = std::make_unique<NameExpr>(withSlots_.back()->name, cur_);
            slot->line = t.line;
            slot->col = t.col;
            return at(std::make_unique<MemberExpr>(std::move(slot), std::move(name)), t);
        }
        fail(1023);
    case Tok::Name:
        break;
    default:
        fail(1023);
    }
    if (t.bracketed) {
        next();
        return nameRef(t.text, t);
    }
    switch (t.kw) {
    case Kw::None:
        next();
        return nameRef(t.text, t);
    case Kw::True:
        next();
        return at(std::make_unique<LiteralExpr>(Variant(true)), t);
    case Kw::False:
        next();
        return at(std::make_unique<LiteralExpr>(Variant(false)), t);
    case Kw::Empty:
        next();
        return at(std::make_unique<LiteralExpr>(Variant()), t);
    case Kw::Null:
        next();
        return at(std::make_unique<LiteralExpr>(Variant::null()), t);
    case Kw::Nothing: {
        next();
        auto e = at(std::make_unique<LiteralExpr>(Variant::nothing()), t);
        e->literal = false;
        return e;
    }
    case Kw::Me:
        next();
        return at(std::make_unique<MeExpr>(), t);
    case Kw::New: {
        next();
        std::u16string name = identifier();
        return at(std::make_unique<NewExpr>(name, cur_), t);
    }
    case Kw::Not: {
        next();
        NestGuard guard(*this);
        return at(std::make_unique<UnaryExpr>(true, notExpr()), t);
    }
    default:
        if (contextual(t.kw)) {
            next();
            return nameRef(t.text, t);
        }
        fail(1023);
    }
}

} // namespace vbscript::detail
