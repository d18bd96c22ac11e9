// The executable tree the parser builds: expression and statement nodes with names resolved to slots.
#pragma once

#include "Runtime.h"
#include "vbscript/ScriptError.h"

namespace vbscript::detail {

Flow execBlock(Block& b, Frame& f);

struct LiteralExpr : Expr {
    Variant value;
    explicit LiteralExpr(Variant v) : value(std::move(v)) {
        kind = ExprKind::Literal;
        literal = true;
    }
    Variant eval(Frame&) override { return value; }
    const Variant& peek(Frame&, Variant&) override { return value; }
    bool pure() const override { return true; }
};

enum class NameKind : uint8_t {
    Unresolved,
    Local,
    LocalConst,
    Dynamic, // a variable that Execute declared in the running call (Execute code only)
    Field,
    Global,
    ReturnValue,
    MeMember,
    HostMember,
    Builtin,
    Unknown
};

// A bare name. It is resolved once, on first use, against the procedure, its class, the globals,
// the global members of host objects and the built-ins; the result is kept in the node.
struct NameExpr : Expr {
    std::u16string name;
    Procedure* scope;
    NameKind nk = NameKind::Unresolved;
    // ReDim's target: a name that nothing else declares becomes a variable of the scope, even under
    // Option Explicit.
    bool declares = false;
    int index = -1;
    GlobalSlot* global = nullptr;
    DynamicVar* dynamic = nullptr;
    HostObject* host = nullptr;
    const Builtin* builtin = nullptr;

    NameExpr(std::u16string n, Procedure* s) : name(std::move(n)), scope(s) { kind = ExprKind::Name; }
    void resolve(Frame& f);
    // True for code that Execute runs inside a procedure: its names may be that call's own variables.
    bool inExecutedCode() const { return scope->global && scope->outer; }
    // The running call's Execute-declared variable of this name, if any; kept in the node when allowed.
    DynamicVar* findDynamic(Frame& f);
    Variant* storage(Frame& f, bool create); // the variable's slot, or nullptr when not a variable
    Variant eval(Frame& f) override;
    Variant* ref(Frame& f, bool create) override;
    const Variant& peek(Frame& f, Variant& tmp) override;
    bool pure() const override { return true; }
    Variant call(Frame& f, const CallArgs& args, InvokeKind kind, bool hasArgs);
    void assign(Frame& f, Variant value, bool isSet, const CallArgs* indexArgs);
};

struct MemberExpr : Expr {
    ExprPtr object;
    std::u16string name;
    MemberExpr(ExprPtr o, std::u16string n) : object(std::move(o)), name(std::move(n)) {
        kind = ExprKind::Member;
        depth = object->depth + 1;
    }
    Variant eval(Frame& f) override;
    // Runs the member on `obj`, the value of `object`.
    Variant invokeOn(const Variant& obj, InvokeKind kind, const CallArgs& args) const;
    // "qz.NoSuchMethod": how errors about the member name it.
    std::u16string culprit() const;
};

// The source text of a name or member chain ("textinput.Item"), or empty for other expressions.
std::u16string exprText(const Expr& e);

struct CallExpr : Expr {
    ExprPtr target;
    std::vector<ExprPtr> args;
    CallExpr(ExprPtr t, std::vector<ExprPtr> a) : target(std::move(t)), args(std::move(a)) {
        kind = ExprKind::Call;
        depth = target->depth + 1;
        for (auto& e : args)
            depth = std::max(depth, e->depth + 1);
    }
    Variant eval(Frame& f) override { return invoke(f, InvokeKind::Get); }
    Variant* ref(Frame& f, bool create) override;
    // The array element this names when the target is an array variable, else nullptr.
    Variant* elementRef(Frame& f, ArrayData** arr);
    Variant invoke(Frame& f, InvokeKind kind);
    void assign(Frame& f, Variant value, bool isSet);
    // Names the index that error 9 is about: the variable written there, or its value.
    void nameSubscript(ScriptError& e, Frame& f, const CallArgs& values);
};

struct ParenExpr : Expr {
    ExprPtr inner;
    explicit ParenExpr(ExprPtr e) : inner(std::move(e)) {
        kind = ExprKind::Paren;
        literal = inner->literal;
        depth = inner->depth + 1;
    }
    Variant eval(Frame& f) override { return inner->eval(f); }
    const Variant& peek(Frame& f, Variant& tmp) override { return inner->peek(f, tmp); }
    bool pure() const override { return inner->pure(); }
};

enum class Op : uint8_t {
    Add,
    Sub,
    Mul,
    Div,
    IntDiv,
    Mod,
    Pow,
    Concat,
    And,
    Or,
    Xor,
    Eqv,
    Imp,
    Eq,
    Ne,
    Lt,
    Gt,
    Le,
    Ge,
    Is
};

struct UnaryExpr : Expr {
    bool isNot;
    ExprPtr operand;
    UnaryExpr(bool n, ExprPtr e) : isNot(n), operand(std::move(e)) { depth = operand->depth + 1; }
    Variant eval(Frame& f) override;
};

struct BinaryExpr : Expr {
    Op op;
    ExprPtr left, right;
    BinaryExpr(Op o, ExprPtr l, ExprPtr r) : op(o), left(std::move(l)), right(std::move(r)) {
        depth = std::max(left->depth, right->depth) + 1;
    }
    Variant eval(Frame& f) override;
};

struct NewExpr : Expr {
    std::u16string className;
    Procedure* scope;
    NewExpr(std::u16string n, Procedure* s) : className(std::move(n)), scope(s) {}
    Variant eval(Frame& f) override;
};

// `.name` outside any With: fails when it runs.
struct NoWithExpr : Expr {
    Variant eval(Frame&) override { throw ScriptError(505); }
};

struct MeExpr : Expr {
    MeExpr() { kind = ExprKind::Me; }
    Variant eval(Frame& f) override;
};

// ---- statements ----

struct CallStmt : Stmt {
    ExprPtr call;
    Variant eval(Frame& f);
    Flow exec(Frame& f) override;
};

struct AssignStmt : Stmt {
    ExprPtr target, value;
    bool isSet = false;
    // `s = s & x` appends in place instead of copying s.
    bool appendInPlace = false;
    std::vector<Expr*> appendParts; // the operands appended, left to right (owned by `value`)
    Flow exec(Frame& f) override;
};

struct IfStmt : Stmt {
    std::vector<std::pair<ExprPtr, Block>> branches;
    Block elseBlock;
    Flow exec(Frame& f) override;
};

struct ForStmt : Stmt {
    ExprPtr var, from, to, step;
    Block body;
    Flow exec(Frame& f) override;
};

struct ForEachStmt : Stmt {
    ExprPtr var, collection;
    Block body;
    Flow exec(Frame& f) override;
};

struct DoStmt : Stmt {
    ExprPtr cond;
    bool until = false;
    bool testAtEnd = false;
    bool isWend = false;
    Block body;
    Flow exec(Frame& f) override;
};

struct SelectStmt : Stmt {
    ExprPtr test;
    struct Case {
        std::vector<ExprPtr> values; // empty: Case Else
        Block body;
        int line = 0;
    };
    std::vector<Case> cases;
    Flow exec(Frame& f) override;
};

struct ExitStmt : Stmt {
    Flow flow;
    explicit ExitStmt(Flow fl) : flow(fl) {}
    Flow exec(Frame&) override { return flow; }
};

struct OnErrorStmt : Stmt {
    bool resumeNext;
    explicit OnErrorStmt(bool r) : resumeNext(r) {}
    Flow exec(Frame& f) override;
};

struct ReDimStmt : Stmt {
    struct Item {
        ExprPtr target; // NameExpr
        std::vector<ExprPtr> bounds;
    };
    std::vector<Item> items;
    bool preserve = false;
    Flow exec(Frame& f) override;
};

struct EraseStmt : Stmt {
    std::vector<ExprPtr> targets;
    Flow exec(Frame& f) override;
};

struct WithStmt : Stmt {
    ExprPtr slot; // NameExpr of a hidden variable
    ExprPtr object;
    Block body;
    Flow exec(Frame& f) override;
};

struct ConstStmt : Stmt {
    GlobalSlot* global = nullptr; // top-level constants
    int localSlot = -1;           // constants inside procedures
    std::u16string dynamicKey;    // constants of code that Execute runs inside a procedure
    ExprPtr value;
    Flow exec(Frame& f) override;
};

// `Dim` in code that Execute runs inside a procedure: a variable of the running call, unless the
// call already has one of that name.
struct DynamicDimStmt : Stmt {
    std::u16string key;
    std::vector<int32_t> upper; // empty: a plain variable; {-1}: a dynamic array
    bool isArray = false;
    Flow exec(Frame& f) override;
};

struct NopStmt : Stmt {
    Flow exec(Frame&) override { return Flow::Normal; }
};

} // namespace vbscript::detail
