#include "ParserImpl.h"

namespace vbscript::detail {

bool Parser::isBlockEnd(BlockEnd kind) const {
    const Token& t = peek();
    if (t.type == Tok::End) return true;
    if (t.type != Tok::Name || t.bracketed) return false;
    switch (t.kw) {
    case Kw::End:
        return kind != BlockEnd::Program || true;
    case Kw::Else:
    case Kw::ElseIf:
        return kind == BlockEnd::If;
    case Kw::Case:
        return kind == BlockEnd::Case;
    case Kw::Loop:
        return kind == BlockEnd::Loop;
    case Kw::Next:
        return kind == BlockEnd::Next;
    case Kw::Wend:
        return kind == BlockEnd::Wend;
    default:
        return false;
    }
}

Block Parser::block(BlockEnd kind) {
    NestGuard guard(*this);
    Block b;
    for (;;) {
        skipNewlines();
        if (isBlockEnd(kind)) {
            if (kind == BlockEnd::Program && peek().is(Kw::End)) fail(1024);
            return b;
        }
        const Token& t = peek();
        if (kind == BlockEnd::Program && (t.is(Kw::Loop) || t.is(Kw::Next) || t.is(Kw::Wend) ||
                                          t.is(Kw::Case) || t.is(Kw::Else) || t.is(Kw::ElseIf)))
            fail(t.is(Kw::Loop) ? 1038 : t.is(Kw::Next) ? 1055 : 1024);
        statement(b, kind == BlockEnd::Program);
        if (isBlockEnd(kind) && peek().type != Tok::End) continue;
        if (peek().is(Kw::Else) || peek().is(Kw::ElseIf) || peek().is(Kw::End)) continue;
        endOfStatement();
    }
}

void Parser::statement(Block& out, bool /*topLevel*/) {
    const Token& t = peek();
    if (t.type == Tok::Op && t.isOp(".")) {
        simpleStatement(out);
        return;
    }
    if (t.type != Tok::Name) fail(1024);
    if (t.bracketed) {
        simpleStatement(out);
        return;
    }
    switch (t.kw) {
    case Kw::Dim:
        next();
        varList(out, false, true);
        return;
    case Kw::Public:
    case Kw::Private: {
        if (!cur_->global) fail(1024);
        bool isPublic = t.is(Kw::Public);
        next();
        bool isDefault = false;
        if (peek().is(Kw::Default)) {
            isDefault = true;
            next();
        }
        if (peek().is(Kw::Sub) || peek().is(Kw::Function)) {
            procedure(isPublic, isDefault);
        } else if (isDefault) {
            fail(1048);
        } else if (peek().is(Kw::Const)) {
            next();
            constDecl(out, false);
        } else {
            varList(out, false, isPublic);
        }
        return;
    }
    case Kw::Const:
        next();
        constDecl(out, false);
        return;
    case Kw::Sub:
    case Kw::Function:
        if (!cur_->global) fail(1024);
        procedure(true, false);
        return;
    case Kw::Class:
        if (!cur_->global) fail(1024);
        classDecl();
        return;
    case Kw::If:
        ifStatement(out);
        return;
    case Kw::For:
        forStatement(out);
        return;
    case Kw::Do:
        doStatement(out);
        return;
    case Kw::While:
        whileStatement(out);
        return;
    case Kw::Select:
        selectStatement(out);
        return;
    case Kw::With:
        withStatement(out);
        return;
    case Kw::Exit:
        exitStatement(out);
        return;
    case Kw::On: {
        next();
        expectKw(Kw::Error, 1002);
        if (peek().is(Kw::Resume)) {
            next();
            expectKw(Kw::Next, 1002);
            out.push_back(at(std::make_unique<OnErrorStmt>(true), t));
        } else if (peek().is(Kw::GoTo)) {
            next();
            const Token& z = peek();
            if (z.type != Tok::Number || z.value.toDouble() != 0) fail(1002);
            next();
            out.push_back(at(std::make_unique<OnErrorStmt>(false), t));
        } else {
            fail(1002);
        }
        return;
    }
    case Kw::ReDim:
        redimStatement(out);
        return;
    case Kw::Erase: {
        next();
        auto st = at(std::make_unique<EraseStmt>(), t);
        for (;;) {
            const Token& nt = peek();
            st->targets.push_back(nameRef(identifier(), nt));
            if (!peek().isOp(",")) break;
            next();
        }
        out.push_back(std::move(st));
        return;
    }
    case Kw::Call: {
        next();
        ExprPtr callee = primary();
        while (callee->kind == ExprKind::Paren)
            callee = std::move(static_cast<ParenExpr*>(callee.get())->inner);
        auto target = postfix(std::move(callee));
        auto st = at(std::make_unique<CallStmt>(), t);
        st->call = std::move(target);
        out.push_back(std::move(st));
        return;
    }
    case Kw::Set: {
        next();
        auto target = postfix(primary());
        if (target->kind != ExprKind::Name && target->kind != ExprKind::Member &&
            target->kind != ExprKind::Call)
            fail(1002);
        expectOp("=", 1011);
        auto st = at(std::make_unique<AssignStmt>(), t);
        if (target->kind == ExprKind::Name) noteAssigned(static_cast<NameExpr*>(target.get())->name);
        st->target = std::move(target);
        st->value = expr();
        st->isSet = true;
        out.push_back(std::move(st));
        return;
    }
    case Kw::Stop:
        next();
        return;
    case Kw::Option:
        fail(1042);
    case Kw::Me:
    case Kw::None:
        simpleStatement(out);
        return;
    default:
        if (contextual(t.kw)) {
            simpleStatement(out);
            return;
        }
        fail(1024);
    }
}

void Parser::simpleStatement(Block& out) {
    const Token& t = peek();
    ExprPtr target = postfix(primary());
    if (peek().isOp("=")) {
        next();
        if (target->kind != ExprKind::Name && target->kind != ExprKind::Member &&
            target->kind != ExprKind::Call)
            fail(1002, t);
        auto st = at(std::make_unique<AssignStmt>(), t);
        if (target->kind == ExprKind::Name) noteAssigned(static_cast<NameExpr*>(target.get())->name);
        st->value = expr();
        if (target->kind == ExprKind::Name && st->value->kind == ExprKind::Other) {
            // `s = s & a & b`: the leftmost operand of the & chain is the target itself.
            std::vector<Expr*> parts;
            Expr* e = st->value.get();
            auto* be = dynamic_cast<BinaryExpr*>(e);
            while (be && be->op == Op::Concat) {
                parts.push_back(be->right.get());
                e = be->left.get();
                be = dynamic_cast<BinaryExpr*>(e);
            }
            if (!parts.empty() && e->kind == ExprKind::Name &&
                namesEqual(static_cast<NameExpr*>(e)->name, static_cast<NameExpr*>(target.get())->name)) {
                st->appendInPlace = true;
                st->appendParts.assign(parts.rbegin(), parts.rend());
            }
        }
        st->target = std::move(target);
        out.push_back(std::move(st));
        return;
    }
    if (target->kind != ExprKind::Name && target->kind != ExprKind::Member && target->kind != ExprKind::Call)
        fail(1024, t);
    auto st = at(std::make_unique<CallStmt>(), t);
    if (atEndOfStatement()) {
        if (target->kind == ExprKind::Call) {
            auto* c = static_cast<CallExpr*>(target.get());
            // `foo(x)` as a statement passes (x): a value, not the variable.
            if (c->args.size() == 1 && c->target->kind != ExprKind::Call)
                c->args[0] = at(std::make_unique<ParenExpr>(std::move(c->args[0])), t);
            else if (c->args.size() > 1 && c->target->kind != ExprKind::Call)
                fail(1044, t);
        }
        st->call = std::move(target);
        out.push_back(std::move(st));
        return;
    }
    // `foo (a) + 1, b`: the parentheses belonged to the first argument.
    std::vector<ExprPtr> args;
    if (target->kind == ExprKind::Call && static_cast<CallExpr*>(target.get())->args.size() == 1 &&
        !peek().isOp("(")) {
        auto* c = static_cast<CallExpr*>(target.get());
        if (c->target->kind == ExprKind::Call) fail(1025);
        seed_ = at(std::make_unique<ParenExpr>(std::move(c->args[0])), t);
        ExprPtr inner = std::move(c->target);
        target = std::move(inner);
        args.push_back(expr());
        if (peek().isOp(","))
            next();
        else if (!atEndOfStatement())
            fail(1025);
    }
    if (!atEndOfStatement()) {
        for (;;) {
            if (peek().isOp(",")) {
                args.push_back(at(std::make_unique<LiteralExpr>(Variant()), peek()));
                next();
                continue;
            }
            args.push_back(expr());
            if (!peek().isOp(",")) break;
            next();
        }
    }
    st->call = at(std::make_unique<CallExpr>(std::move(target), std::move(args)), t);
    out.push_back(std::move(st));
}

bool Parser::sameLineStatementFollows() const {
    const Token& t = peek();
    return !(t.type == Tok::Newline && !t.colon) && t.type != Tok::End;
}

void Parser::ifStatement(Block& out) {
    const Token& t = next();
    auto st = at(std::make_unique<IfStmt>(), t);
    ExprPtr cond = expr();
    expectKw(Kw::Then, 1017);
    if (sameLineStatementFollows() && !(peek().type == Tok::Newline && !peek().colon)) {
        if (peek().type == Tok::Newline) next(); // "Then :" still the single-line form
        // Single-line form: statements up to the end of the line, optional Else part.
        Block thenBlock;
        lineStatements(thenBlock);
        st->branches.emplace_back(std::move(cond), std::move(thenBlock));
        if (peek().is(Kw::Else)) {
            next();
            lineStatements(st->elseBlock);
        }
        if (peek().is(Kw::End) && peek(1).is(Kw::If)) {
            next();
            next();
        }
        out.push_back(std::move(st));
        return;
    }
    Block thenBlock = block(BlockEnd::If);
    st->branches.emplace_back(std::move(cond), std::move(thenBlock));
    for (;;) {
        if (peek().is(Kw::ElseIf)) {
            next();
            ExprPtr c = expr();
            expectKw(Kw::Then, 1017);
            if (peek().type == Tok::Newline) {
                st->branches.emplace_back(std::move(c), block(BlockEnd::If));
            } else {
                Block b;
                lineStatements(b);
                Block rest = block(BlockEnd::If);
                for (auto& s : rest)
                    b.push_back(std::move(s));
                st->branches.emplace_back(std::move(c), std::move(b));
            }
            continue;
        }
        if (peek().is(Kw::Else)) {
            next();
            st->elseBlock = block(BlockEnd::If);
            if (peek().is(Kw::Else) || peek().is(Kw::ElseIf)) fail(1014);
        }
        break;
    }
    expectKw(Kw::End, 1014);
    expectKw(Kw::If, 1012);
    out.push_back(std::move(st));
}

void Parser::lineStatements(Block& b) {
    NestGuard guard(*this);
    for (;;) {
        if (peek().type == Tok::Newline && peek().colon) {
            next();
            continue;
        }
        if (peek().type == Tok::Newline || peek().type == Tok::End || peek().is(Kw::Else)) return;
        if (peek().is(Kw::End) && peek(1).is(Kw::If)) return;
        statement(b, false);
        if (peek().type == Tok::Newline && peek().colon) {
            next();
            continue;
        }
        if (peek().type == Tok::Newline || peek().type == Tok::End || peek().is(Kw::Else)) return;
        if (peek().is(Kw::End) && peek(1).is(Kw::If)) return;
        fail(1025);
    }
}

ExprPtr Parser::loopVariable() {
    const Token& t = peek();
    std::u16string name = identifier();
    noteAssigned(name);
    return nameRef(name, t);
}

void Parser::forStatement(Block& out) {
    const Token& t = next();
    if (peek().is(Kw::Each)) {
        next();
        auto st = at(std::make_unique<ForEachStmt>(), t);
        st->var = loopVariable();
        expectKw(Kw::In, 1046);
        st->collection = expr();
        endOfStatement();
        ++forDepth_;
        st->body = block(BlockEnd::Next);
        --forDepth_;
        expectKw(Kw::Next, 1020);
        if (peek().type == Tok::Name && peek().kw == Kw::None) next();
        out.push_back(std::move(st));
        return;
    }
    auto st = at(std::make_unique<ForStmt>(), t);
    st->var = loopVariable();
    expectOp("=", 1011);
    st->from = expr();
    expectKw(Kw::To, 1013);
    st->to = expr();
    if (peek().is(Kw::Step)) {
        next();
        st->step = expr();
    }
    endOfStatement();
    ++forDepth_;
    st->body = block(BlockEnd::Next);
    --forDepth_;
    expectKw(Kw::Next, 1020);
    if (peek().type == Tok::Name && peek().kw == Kw::None) next();
    out.push_back(std::move(st));
}

void Parser::doStatement(Block& out) {
    const Token& t = next();
    auto st = at(std::make_unique<DoStmt>(), t);
    if (peek().is(Kw::While) || peek().is(Kw::Until)) {
        st->until = peek().is(Kw::Until);
        next();
        st->cond = expr();
    }
    if (!atEndOfStatement()) fail(1028);
    ++doDepth_;
    st->body = block(BlockEnd::Loop);
    --doDepth_;
    expectKw(Kw::Loop, 1019);
    if (peek().is(Kw::While) || peek().is(Kw::Until)) {
        if (st->cond) fail(1025);
        st->until = peek().is(Kw::Until);
        next();
        st->cond = expr();
        st->testAtEnd = true;
    }
    out.push_back(std::move(st));
}

void Parser::whileStatement(Block& out) {
    const Token& t = next();
    auto st = at(std::make_unique<DoStmt>(), t);
    st->cond = expr();
    st->isWend = true;
    st->body = block(BlockEnd::Wend);
    expectKw(Kw::Wend, 1018);
    out.push_back(std::move(st));
}

void Parser::selectStatement(Block& out) {
    const Token& t = next();
    expectKw(Kw::Case, 1021);
    auto st = at(std::make_unique<SelectStmt>(), t);
    st->test = expr();
    endOfStatement();
    skipNewlines();
    while (peek().is(Kw::Case)) {
        const Token& ct = next();
        SelectStmt::Case c;
        c.line = ct.line;
        if (peek().is(Kw::Else)) {
            next();
        } else {
            for (;;) {
                c.values.push_back(expr());
                if (!peek().isOp(",")) break;
                next();
            }
        }
        bool isElse = c.values.empty();
        c.body = block(BlockEnd::Case);
        st->cases.push_back(std::move(c));
        if (isElse && !peek().is(Kw::End)) fail(1014);
    }
    expectKw(Kw::End, 1014);
    expectKw(Kw::Select, 1022);
    out.push_back(std::move(st));
}

ExprPtr Parser::hiddenVariable(const Token& t) {
    // A name no script can write, unique in the whole host.
    std::string num = std::to_string(in_.hiddenCounter++);
    std::u16string name = u"<with " + std::u16string(num.begin(), num.end()) + u">";
    if (cur_->global)
        in_.declareGlobal(name);
    else
        cur_->locals[nameKey(name)] = cur_->slotCount++;
    return at(std::make_unique<NameExpr>(name, cur_), t);
}

void Parser::withStatement(Block& out) {
    const Token& t = next();
    auto st = at(std::make_unique<WithStmt>(), t);
    st->object = expr();
    st->slot = hiddenVariable(t);
    withSlots_.push_back(static_cast<NameExpr*>(st->slot.get()));
    endOfStatement();
    st->body = block(BlockEnd::End);
    withSlots_.pop_back();
    expectKw(Kw::End, 1014);
    expectKw(Kw::With, 1029);
    out.push_back(std::move(st));
}

void Parser::exitStatement(Block& out) {
    const Token& t = next();
    Flow fl;
    const Token& k = peek();
    if (k.is(Kw::For)) {
        if (forDepth_ == 0) fail(1039);
        fl = Flow::ExitFor;
    } else if (k.is(Kw::Do)) {
        if (doDepth_ == 0) fail(1039);
        fl = Flow::ExitDo;
    } else if (k.is(Kw::Sub)) {
        if (cur_->kind != ProcKind::Sub) fail(1039);
        fl = Flow::ExitProc;
    } else if (k.is(Kw::Function)) {
        if (cur_->kind != ProcKind::Function) fail(1039);
        fl = Flow::ExitProc;
    } else if (k.is(Kw::Property)) {
        if (cur_->kind != ProcKind::PropGet && cur_->kind != ProcKind::PropLet &&
            cur_->kind != ProcKind::PropSet)
            fail(1039);
        fl = Flow::ExitProc;
    } else {
        fail(1039);
    }
    next();
    out.push_back(at(std::make_unique<ExitStmt>(fl), t));
}

void Parser::redimStatement(Block& out) {
    const Token& t = next();
    auto st = at(std::make_unique<ReDimStmt>(), t);
    if (peek().is(Kw::Preserve)) {
        st->preserve = true;
        next();
    }
    for (;;) {
        const Token& nt = peek();
        std::u16string name = identifier();
        ReDimStmt::Item item;
        // ReDim declares the name when nothing else does, even under Option Explicit; what else has the
        // name (a local, a class member, a global declared anywhere in the code) is known only when it runs.
        if (!cur_->global)
            noteImplicitLocal(name);
        else if (!executedInProcedure() && !in_.findGlobal(name))
            pendingGlobal(name);
        item.target = nameRef(name, nt);
        static_cast<NameExpr*>(item.target.get())->declares = true;
        expectOp("(", 1005);
        for (;;) {
            item.bounds.push_back(expr());
            if (!peek().isOp(",")) break;
            next();
        }
        expectOp(")", 1006);
        st->items.push_back(std::move(item));
        if (!peek().isOp(",")) break;
        next();
    }
    out.push_back(std::move(st));
}

} // namespace vbscript::detail
