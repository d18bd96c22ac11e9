#include "Parser.h"

#include "Ast.h"
#include "Lexer.h"
#include "vbscript/ScriptError.h"

namespace vbscript::detail {

namespace {

constexpr int kMaxNesting = 400;
constexpr int kMaxExprDepth = 3000;

// Top-level `Dim a(3)`: the array exists before the first statement runs.
struct GlobalArrayStmt : Stmt {
    std::u16string name;
    std::vector<int32_t> upper;
    Flow exec(Frame& f) override {
        GlobalSlot& g = f.in->declareGlobal(name);
        // Code added later may not declare again an array that earlier code declared.
        if (g.value.isArray()) throw ScriptError(13);
        std::vector<ArrayData::Bound> b;
        for (int32_t u : upper)
            b.push_back({0, u + 1});
        bool dynamic = upper.size() == 1 && upper[0] == -1;
        ArrayData a(dynamic ? std::vector<ArrayData::Bound>{} : std::move(b));
        a.fixed = !dynamic;
        g.value = Variant::fromArray(std::move(a));
        return Flow::Normal;
    }
};

class Parser {
public:
    Parser(Interp& in, std::u16string_view text, Procedure* scope)
        : in_(in), toks_(tokenize(text)), outerScope_(scope) {}

    std::unique_ptr<Chunk> program(bool expressionOnly) {
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
        // Global arrays first, so that procedures called early see them.
        Block hoisted;
        for (auto& s : globalArrays_)
            hoisted.push_back(std::move(s));
        for (auto& s : top->body)
            hoisted.push_back(std::move(s));
        top->body = std::move(hoisted);
        return std::move(chunk_);
    }

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
    std::vector<StmtPtr> globalArrays_;

    const Token& peek(size_t k = 0) const { return toks_[std::min(pos_ + k, toks_.size() - 1)]; }
    const Token& next() { return toks_[pos_ < toks_.size() - 1 ? pos_++ : pos_]; }

    [[noreturn]] void fail(int number) { fail(number, peek()); }
    [[noreturn]] void fail(int number, const Token& t) {
        ScriptError e(number);
        e.line = t.line;
        e.column = t.col;
        throw e;
    }

    void skipNewlines() {
        while (peek().type == Tok::Newline)
            next();
    }
    bool atEndOfStatement() const {
        const Token& t = peek();
        return t.type == Tok::Newline || t.type == Tok::End || t.is(Kw::Else) || t.is(Kw::ElseIf) ||
               t.is(Kw::End);
    }
    void endOfStatement() {
        if (peek().type == Tok::Newline) {
            next();
            return;
        }
        if (peek().type == Tok::End) return;
        fail(1025);
    }
    void expectOp(const char* op, int err) {
        if (!peek().isOp(op)) fail(err);
        next();
    }
    void expectKw(Kw k, int err) {
        if (!peek().is(k)) fail(err);
        next();
    }
    // Keywords that only mean something in one place and otherwise name variables.
    static bool contextual(Kw k) {
        return k == Kw::Property || k == Kw::Default || k == Kw::Explicit || k == Kw::Step ||
               k == Kw::Error || k == Kw::Preserve || k == Kw::Get;
    }
    std::u16string identifier() {
        const Token& t = peek();
        if (t.type != Tok::Name || (t.kw != Kw::None && !t.bracketed && !contextual(t.kw))) fail(1010);
        next();
        return t.text;
    }
    // Member names after '.' may be keywords.
    std::u16string memberName() {
        const Token& t = peek();
        if (t.type != Tok::Name) fail(1010);
        next();
        return t.text;
    }
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

    int declareLocal(Procedure* p, const std::u16string& name, const Token& where) {
        auto key = nameKey(name);
        if (p->locals.count(key)) fail(1041, where);
        int slot = p->slotCount++;
        p->locals[key] = slot;
        return slot;
    }

    ExprPtr nameRef(const std::u16string& name, const Token& t) {
        return at(std::make_unique<NameExpr>(name, cur_), t);
    }

    void noteAssigned(const std::u16string& name) {
        if (!cur_->global && !explicit_) {
            auto key = nameKey(name);
            if (!cur_->locals.count(key) && !cur_->implicitLocals.count(key))
                cur_->implicitLocals[key] = cur_->slotCount++;
        }
    }

    std::vector<int32_t> constBounds() {
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

    // Dim / Public / Private variable lists.
    void varList(Block& out, bool inClass, bool isPublic) {
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
            } else if (cur_->global) {
                pendingGlobal(name);
                if (isArray) {
                    auto s = std::make_unique<GlobalArrayStmt>();
                    s->name = name;
                    s->upper = upper;
                    if (upper.empty()) s->upper = {-1};
                    s->line = t.line;
                    globalArrays_.push_back(std::move(s));
                }
            } else {
                int slot = declareLocal(cur_, name, t);
                if (isArray)
                    cur_->arrayInits.push_back({slot, upper.empty() ? std::vector<int32_t>{-1} : upper});
            }
            if (!peek().isOp(",")) break;
            next();
        }
        (void)out;
    }

    void pendingGlobal(const std::u16string& name) {
        // Declared as the chunk is compiled; redeclaring a global is allowed (later code wins).
        GlobalSlot& g = in_.declareGlobal(name);
        g.declared = true;
    }

    void constDecl(Block& out, bool inClass) {
        for (;;) {
            const Token& t = peek();
            std::u16string name = identifier();
            expectOp("=", 1011);
            ExprPtr value = expr();
            auto st = at(std::make_unique<ConstStmt>(), t);
            st->value = std::move(value);
            if (cur_->global && !inClass) {
                GlobalSlot& g = in_.declareGlobal(name);
                g.isConst = true;
                g.declared = true;
                st->global = &g;
                // Literal constants are known before any code runs.
                if (st->value->kind == ExprKind::Literal)
                    g.value = static_cast<LiteralExpr*>(st->value.get())->value;
                else if (st->value->kind == ExprKind::Paren &&
                         static_cast<ParenExpr*>(st->value.get())->inner->kind == ExprKind::Literal)
                    g.value = static_cast<LiteralExpr*>(static_cast<ParenExpr*>(st->value.get())->inner.get())
                                  ->value;
            } else {
                st->localSlot = declareLocal(cur_, name, t);
            }
            out.push_back(std::move(st));
            if (!peek().isOp(",")) break;
            next();
        }
    }

    std::vector<Param> params(Procedure* p) {
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

    void procedure(bool isPublic, bool isDefault) {
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

    void classDecl() {
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
            } else if (scoped && k.type == Tok::Name &&
                       (k.kw == Kw::None || k.bracketed || contextual(k.kw))) {
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

    // ---- statements ----

    bool isBlockEnd(BlockEnd kind) const {
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

    Block block(BlockEnd kind) {
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

    void statement(Block& out, bool /*topLevel*/) {
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

    // Assignment or procedure call.
    void simpleStatement(Block& out) {
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
        if (target->kind != ExprKind::Name && target->kind != ExprKind::Member &&
            target->kind != ExprKind::Call)
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

    bool sameLineStatementFollows() const {
        const Token& t = peek();
        return !(t.type == Tok::Newline && !t.colon) && t.type != Tok::End;
    }

    void ifStatement(Block& out) {
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

    // Statements separated by ':' up to the end of the line (or an Else of a single-line If).
    void lineStatements(Block& b) {
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

    ExprPtr loopVariable() {
        const Token& t = peek();
        std::u16string name = identifier();
        noteAssigned(name);
        return nameRef(name, t);
    }

    void forStatement(Block& out) {
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

    void doStatement(Block& out) {
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

    void whileStatement(Block& out) {
        const Token& t = next();
        auto st = at(std::make_unique<DoStmt>(), t);
        st->cond = expr();
        st->isWend = true;
        st->body = block(BlockEnd::Wend);
        expectKw(Kw::Wend, 1018);
        out.push_back(std::move(st));
    }

    void selectStatement(Block& out) {
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

    ExprPtr hiddenVariable(const Token& t) {
        // A name no script can write, unique in the whole host.
        std::string num = std::to_string(in_.hiddenCounter++);
        std::u16string name = u"<with " + std::u16string(num.begin(), num.end()) + u">";
        if (cur_->global)
            in_.declareGlobal(name);
        else
            cur_->locals[nameKey(name)] = cur_->slotCount++;
        return at(std::make_unique<NameExpr>(name, cur_), t);
    }

    std::vector<ExprPtr*> withStack_;
    std::vector<NameExpr*> withSlots_;

    void withStatement(Block& out) {
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

    void exitStatement(Block& out) {
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

    void redimStatement(Block& out) {
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
            // ReDim declares the name when nothing else does, even under Option Explicit.
            if (cur_->global) {
                if (!in_.findGlobal(name) && !(cur_->outer && cur_->outer->locals.count(nameKey(name))))
                    pendingGlobal(name);
            } else if (!cur_->locals.count(nameKey(name)) &&
                       !(cur_->cls && cur_->cls->memberIndex.count(nameKey(name)))) {
                if (explicit_)
                    declareLocal(cur_, name, nt);
                else
                    noteAssigned(name);
            }
            item.target = nameRef(name, nt);
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

    // ---- expressions ----

    ExprPtr expr() {
        NestGuard guard(*this);
        return impExpr();
    }

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
    ExprPtr notExpr() {
        if (!seed_ && peek().is(Kw::Not)) {
            const Token& t = next();
            NestGuard guard(*this);
            return at(std::make_unique<UnaryExpr>(true, notExpr()), t);
        }
        return compareExpr();
    }
    ExprPtr compareExpr() {
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
    ExprPtr opLevel(ExprPtr (Parser::*sub)(), std::initializer_list<std::pair<const char*, Op>> ops) {
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
    ExprPtr concatExpr() { return opLevel(&Parser::addExpr, {{"&", Op::Concat}}); }
    ExprPtr addExpr() { return opLevel(&Parser::modExpr, {{"+", Op::Add}, {"-", Op::Sub}}); }
    ExprPtr modExpr() {
        ExprPtr left = intDivExpr();
        while (peek().is(Kw::Mod)) {
            const Token& t = next();
            ExprPtr right = intDivExpr();
            left = at(std::make_unique<BinaryExpr>(Op::Mod, std::move(left), std::move(right)), t);
        }
        return left;
    }
    ExprPtr intDivExpr() { return opLevel(&Parser::mulExpr, {{"\\", Op::IntDiv}}); }
    ExprPtr mulExpr() { return opLevel(&Parser::powExpr, {{"*", Op::Mul}, {"/", Op::Div}}); }
    // '^' binds looser than unary minus here: -3^2 is 9.
    ExprPtr powExpr() {
        ExprPtr left = unaryExpr();
        while (peek().isOp("^")) {
            const Token& t = next();
            ExprPtr right = unaryExpr();
            left = at(std::make_unique<BinaryExpr>(Op::Pow, std::move(left), std::move(right)), t);
        }
        return left;
    }
    ExprPtr unaryExpr() {
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
                if (v.type() == VarType::Integer || v.type() == VarType::Long ||
                    v.type() == VarType::Double) {
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

    std::vector<ExprPtr> argList() {
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

    ExprPtr postfix(ExprPtr e) {
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

    ExprPtr primary() {
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
                        std::make_unique<MemberExpr>(at(std::make_unique<NoWithExpr>(), t), std::move(name)),
                        t);
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
};

} // namespace

std::unique_ptr<Chunk> parseProgram(Interp& in, std::u16string_view text, Procedure* scope,
                                    bool expressionOnly) {
    Parser p(in, text, scope);
    return p.program(expressionOnly);
}

} // namespace vbscript::detail
