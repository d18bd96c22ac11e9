#include "ParserImpl.h"

namespace vbscript::detail {

namespace {

// Top-level `Dim a(3)`: the array exists before the first statement runs.
struct GlobalArrayStmt : Stmt {
    std::u16string name;
    std::vector<int32_t> upper;
    Flow exec(Frame& f) override {
        GlobalSlot& g = f.in->declareGlobal(name);
        // Code added later may not declare again an array that earlier code declared.
        if (g.value.isArray()) throw ScriptError(13);
        g.value = Variant::fromArray(declaredArray(upper));
        return Flow::Normal;
    }
};

} // namespace

std::unique_ptr<Chunk> Parser::program(bool expressionOnly) {
    chunk_ = std::make_unique<Chunk>();
    chunk_->top = std::make_unique<Procedure>();
    Procedure* top = chunk_->top.get();
    top->kind = ProcKind::TopLevel;
    top->global = true;
    top->outer = outerScope_;
    if (outerScope_) {
        top->cls = outerScope_->cls;
        top->optionExplicit = outerScope_->optionExplicit;
    }
    cur_ = top;
    if (expressionOnly) {
        skipNewlines();
        auto e = expr();
        skipNewlines();
        if (peek().type != Tok::End) fail(1025);
        chunk_->evalExpr = std::move(e);
        return std::move(chunk_);
    }
    skipNewlines();
    if (peek().is(Kw::Option)) {
        next();
        if (!peek().is(Kw::Explicit)) fail(1002);
        next();
        explicit_ = true;
        top->optionExplicit = true;
        endOfStatement();
    }
    top->body = block(BlockEnd::Program);
    if (peek().type != Tok::End) fail(1024);
    // Declared arrays first, so that procedures called early see them.
    Block hoisted;
    for (auto& s : hoisted_)
        hoisted.push_back(std::move(s));
    for (auto& s : top->body)
        hoisted.push_back(std::move(s));
    top->body = std::move(hoisted);
    return std::move(chunk_);
}

[[noreturn]] void Parser::fail(int number, const Token& t) {
    ScriptError e(number);
    e.line = t.line;
    e.column = t.col;
    throw e;
}

void Parser::skipNewlines() {
    while (peek().type == Tok::Newline)
        next();
}

bool Parser::atEndOfStatement() const {
    const Token& t = peek();
    return t.type == Tok::Newline || t.type == Tok::End || t.is(Kw::Else) || t.is(Kw::ElseIf) ||
           t.is(Kw::End);
}

void Parser::endOfStatement() {
    if (peek().type == Tok::Newline) {
        next();
        return;
    }
    if (peek().type == Tok::End) return;
    fail(1025);
}

void Parser::expectOp(const char* op, int err) {
    if (!peek().isOp(op)) fail(err);
    next();
}

void Parser::expectKw(Kw k, int err) {
    if (!peek().is(k)) fail(err);
    next();
}

bool Parser::contextual(Kw k) {
    return k == Kw::Property || k == Kw::Default || k == Kw::Explicit || k == Kw::Step || k == Kw::Error ||
           k == Kw::Preserve || k == Kw::Get;
}

std::u16string Parser::identifier() {
    const Token& t = peek();
    if (t.type != Tok::Name || (t.kw != Kw::None && !t.bracketed && !contextual(t.kw))) fail(1010);
    next();
    return t.text;
}

std::u16string Parser::memberName() {
    const Token& t = peek();
    if (t.type != Tok::Name) fail(1010);
    next();
    return t.text;
}

int Parser::declareLocal(Procedure* p, const std::u16string& name, const Token& where) {
    auto key = nameKey(name);
    if (p->locals.count(key)) fail(1041, where);
    int slot = p->slotCount++;
    p->locals[key] = slot;
    return slot;
}

ExprPtr Parser::nameRef(const std::u16string& name, const Token& t) {
    return at(std::make_unique<NameExpr>(name, cur_), t);
}

void Parser::noteAssigned(const std::u16string& name) {
    if (!cur_->global && !explicit_) noteImplicitLocal(name);
}

void Parser::noteImplicitLocal(const std::u16string& name) {
    auto key = nameKey(name);
    if (!cur_->locals.count(key) && !cur_->implicitLocals.count(key))
        cur_->implicitLocals[key] = cur_->slotCount++;
}

std::vector<int32_t> Parser::constBounds() {
    std::vector<int32_t> upper;
    next(); // '('
    if (peek().isOp(")")) {
        next();
        return {};
    }
    for (;;) {
        const Token& t = peek();
        if (t.type != Tok::Number) fail(1026);
        next();
        double v = t.value.toDouble();
        if (v < 0 || v > 0x7FFFFFFE) fail(1026);
        upper.push_back(static_cast<int32_t>(v));
        if (peek().isOp(",")) {
            next();
            continue;
        }
        expectOp(")", 1006);
        break;
    }
    return upper;
}

void Parser::varList(Block& out, bool inClass, bool isPublic) {
    for (;;) {
        const Token& t = peek();
        std::u16string name = identifier();
        bool isArray = false;
        std::vector<int32_t> upper;
        if (peek().isOp("(")) {
            isArray = true;
            upper = constBounds();
        }
        if (inClass) {
            auto key = nameKey(name);
            if (class_->memberIndex.count(key)) fail(1041, t);
            ClassMember m;
            m.name = name;
            m.field = class_->fieldCount++;
            m.isPublic = isPublic;
            class_->memberIndex[key] = static_cast<int>(class_->members.size());
            class_->members.push_back(m);
            if (isArray && !upper.empty())
                class_->fieldArrays.push_back({m.field, upper});
            else if (isArray)
                class_->fieldArrays.push_back({m.field, {-1}});
        } else if (executedInProcedure()) {
            // A name the procedure already has stays what it is; any other is a variable of the call.
            auto key = nameKey(name);
            if (!outerScope_->locals.count(key) && !outerScope_->implicitLocals.count(key)) {
                auto s = at(std::make_unique<DynamicDimStmt>(), t);
                s->key = key;
                s->isArray = isArray;
                s->upper = upper.empty() ? std::vector<int32_t>{-1} : upper;
                hoisted_.push_back(std::move(s));
            }
        } else if (cur_->global) {
            pendingGlobal(name);
            if (isArray) {
                auto s = std::make_unique<GlobalArrayStmt>();
                s->name = name;
                s->upper = upper;
                if (upper.empty()) s->upper = {-1};
                s->line = t.line;
                hoisted_.push_back(std::move(s));
            }
        } else {
            int slot = declareLocal(cur_, name, t);
            if (isArray) cur_->arrayInits.push_back({slot, upper.empty() ? std::vector<int32_t>{-1} : upper});
        }
        if (!peek().isOp(",")) break;
        next();
    }
    (void)out;
}

void Parser::pendingGlobal(const std::u16string& name) {
    // Declared as the chunk is compiled; redeclaring a global is allowed (later code wins).
    GlobalSlot& g = in_.declareGlobal(name);
    g.declared = true;
}

void Parser::constDecl(Block& out, bool inClass) {
    for (;;) {
        const Token& t = peek();
        std::u16string name = identifier();
        expectOp("=", 1011);
        ExprPtr value = expr();
        auto st = at(std::make_unique<ConstStmt>(), t);
        st->value = std::move(value);
        if (executedInProcedure()) {
            st->dynamicKey = nameKey(name);
        } else if (cur_->global && !inClass) {
            GlobalSlot& g = in_.declareGlobal(name);
            g.isConst = true;
            g.declared = true;
            st->global = &g;
            // Literal constants are known before any code runs.
            if (st->value->kind == ExprKind::Literal)
                g.value = static_cast<LiteralExpr*>(st->value.get())->value;
            else if (st->value->kind == ExprKind::Paren &&
                     static_cast<ParenExpr*>(st->value.get())->inner->kind == ExprKind::Literal)
                g.value =
                    static_cast<LiteralExpr*>(static_cast<ParenExpr*>(st->value.get())->inner.get())->value;
        } else {
            st->localSlot = declareLocal(cur_, name, t);
            cur_->constSlots.push_back(st->localSlot);
        }
        out.push_back(std::move(st));
        if (!peek().isOp(",")) break;
        next();
    }
}

std::vector<Param> Parser::params(Procedure* p) {
    std::vector<Param> ps;
    if (!peek().isOp("(")) return ps;
    next();
    if (peek().isOp(")")) {
        next();
        return ps;
    }
    for (;;) {
        Param prm;
        if (peek().is(Kw::ByVal)) {
            prm.byVal = true;
            next();
        } else if (peek().is(Kw::ByRef)) {
            next();
        }
        const Token& t = peek();
        prm.name = identifier();
        if (peek().isOp("(")) {
            next();
            expectOp(")", 1006);
        }
        declareLocal(p, prm.name, t);
        ps.push_back(prm);
        if (peek().isOp(",")) {
            next();
            continue;
        }
        expectOp(")", 1006);
        break;
    }
    return ps;
}

void Parser::procedure(bool isPublic, bool isDefault) {
    const Token& start = peek();
    ProcKind kind;
    BlockEnd endKind = BlockEnd::End;
    Kw endKw;
    if (peek().is(Kw::Sub)) {
        kind = ProcKind::Sub;
        endKw = Kw::Sub;
    } else if (peek().is(Kw::Function)) {
        kind = ProcKind::Function;
        endKw = Kw::Function;
    } else {
        // Property Get/Let/Set
        if (!class_) fail(1048);
        next();
        if (peek().is(Kw::Get))
            kind = ProcKind::PropGet;
        else if (peek().is(Kw::Let))
            kind = ProcKind::PropLet;
        else if (peek().is(Kw::Set))
            kind = ProcKind::PropSet;
        else
            fail(1049);
        endKw = Kw::Property;
    }
    next();
    const Token& nameTok = peek();
    std::u16string name = identifier();
    auto proc = std::make_unique<Procedure>();
    Procedure* p = proc.get();
    p->name = name;
    p->kind = kind;
    p->global = false;
    p->cls = class_;
    p->isPublic = isPublic;
    p->isDefault = isDefault;
    p->optionExplicit = explicit_;
    p->line = start.line;
    p->params = params(p);
    if (kind == ProcKind::Function || kind == ProcKind::PropGet) {
        auto key = nameKey(name);
        if (p->locals.count(key)) fail(1041, nameTok);
        p->returnSlot = p->slotCount++;
        p->locals[key] = p->returnSlot;
    }
    if ((kind == ProcKind::PropLet || kind == ProcKind::PropSet) && p->params.empty()) fail(1054);
    if (isDefault && kind != ProcKind::PropGet && kind != ProcKind::Function && kind != ProcKind::Sub)
        fail(1058);
    Procedure* saved = cur_;
    cur_ = p;
    int savedFor = forDepth_, savedDo = doDepth_;
    forDepth_ = doDepth_ = 0;
    if (peek().type == Tok::Newline) next();
    p->body = block(endKind);
    expectKw(Kw::End, 1014);
    if (!peek().is(endKw)) fail(endKw == Kw::Sub ? 1016 : endKw == Kw::Function ? 1015 : 1050);
    next();
    cur_ = saved;
    forDepth_ = savedFor;
    doDepth_ = savedDo;

    if (class_) {
        auto key = nameKey(name);
        if ((namesEqual(name, u"Class_Initialize") || namesEqual(name, u"Class_Terminate")) &&
            kind == ProcKind::Sub) {
            if (!p->params.empty()) fail(1053, nameTok);
            (namesEqual(name, u"Class_Initialize") ? class_->init : class_->term) = p;
        }
        auto it = class_->memberIndex.find(key);
        int idx;
        if (it == class_->memberIndex.end()) {
            idx = static_cast<int>(class_->members.size());
            ClassMember m;
            m.name = name;
            m.isPublic = isPublic;
            class_->members.push_back(m);
            class_->memberIndex[key] = idx;
        } else {
            idx = it->second;
        }
        ClassMember& m = class_->members[idx];
        Procedure** place = kind == ProcKind::PropGet   ? &m.get
                            : kind == ProcKind::PropLet ? &m.let
                            : kind == ProcKind::PropSet ? &m.set
                                                        : &m.method;
        if (*place || m.field >= 0 || (m.method && kind != ProcKind::Sub && kind != ProcKind::Function) ||
            ((m.get || m.let || m.set) && (kind == ProcKind::Sub || kind == ProcKind::Function)))
            fail(1041, nameTok);
        *place = p;
        if (isPublic) m.isPublic = true;
        if (isDefault) {
            if (class_->defaultMember >= 0 && class_->defaultMember != idx) fail(1052, start);
            class_->defaultMember = idx;
        }
        class_->procs.push_back(std::move(proc));
    } else {
        chunk_->procs.push_back(std::move(proc));
    }
}

void Parser::classDecl() {
    next(); // Class
    const Token& nameTok = peek();
    std::u16string name = identifier();
    endOfStatement();
    auto cls = std::make_unique<ClassDef>();
    cls->name = name;
    class_ = cls.get();
    Procedure* saved = cur_;
    // Member declarations need a procedure for Const; class-level Consts are not supported.
    Block dummy;
    for (;;) {
        skipNewlines();
        const Token& t = peek();
        if (t.is(Kw::End)) {
            next();
            expectKw(Kw::Class, 1047);
            break;
        }
        bool isPublic = true, isDefault = false, scoped = false;
        if (t.is(Kw::Public) || t.is(Kw::Private)) {
            isPublic = t.is(Kw::Public);
            scoped = true;
            next();
            if (peek().is(Kw::Default)) {
                if (!isPublic) fail(1057);
                isDefault = true;
                next();
            }
        }
        const Token& k = peek();
        if (k.is(Kw::Sub) || k.is(Kw::Function) || k.is(Kw::Property)) {
            procedure(isPublic, isDefault);
            if (!peek().is(Kw::End)) endOfStatement();
        } else if (isDefault) {
            fail(1056);
        } else if (k.is(Kw::Dim)) {
            next();
            varList(dummy, true, true);
            if (!peek().is(Kw::End)) endOfStatement();
        } else if (scoped && k.type == Tok::Name && (k.kw == Kw::None || k.bracketed || contextual(k.kw))) {
            varList(dummy, true, isPublic);
            if (!peek().is(Kw::End)) endOfStatement();
        } else if (k.is(Kw::Const)) {
            fail(1024);
        } else if (k.type == Tok::End) {
            fail(1014);
        } else {
            fail(1024);
        }
    }
    cur_ = saved;
    class_ = nullptr;
    (void)nameTok;
    GlobalSlot& g = in_.declareGlobal(name);
    g.cls = cls.get();
    chunk_->classes.push_back(std::move(cls));
}

std::unique_ptr<Chunk> parseProgram(Interp& in, std::u16string_view text, Procedure* scope,
                                    bool expressionOnly) {
    Parser p(in, text, scope);
    return p.program(expressionOnly);
}

} // namespace vbscript::detail
