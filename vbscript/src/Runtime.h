// The interpreter's internal model: compiled procedures and classes, frames, the global table, nodes.
#pragma once

#include <atomic>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "Memory.h"
#include "vbscript/HostObject.h"
#include "vbscript/ScriptHost.h"
#include "vbscript/Variant.h"

namespace vbscript::detail {

class Interp;
struct Frame;
struct Procedure;
struct ClassDef;
class ClassInstance;

// Upper-cased key for case-insensitive name maps.
std::u16string nameKey(std::u16string_view name);
using NameMap = std::unordered_map<std::u16string, int>;

// Why a run has to stop; the bits of Interp::stop.
enum StopReason : uint32_t { kTimedOut = 1, kInterrupted = 2 };

// Thrown when a run has to stop (time-out or the host's interrupt); On Error does not catch it.
struct ScriptAbort {
    uint32_t reason;
    int line, column; // the statement that was running
};

enum class Flow : uint8_t { Normal, ExitFor, ExitDo, ExitProc };

enum class ExprKind : uint8_t { Other, Literal, Name, Member, Call, Paren, Me };

struct Expr {
    int line = 0, col = 0;
    ExprKind kind = ExprKind::Other;
    bool literal = false; // a constant written in the code: comparisons treat it specially
    int depth = 1;        // height of the tree below: the parser refuses trees too deep to walk
    virtual ~Expr() = default;
    virtual Variant eval(Frame& f) = 0;
    // The storage of a variable or array element, for ByRef passing; nullptr for other expressions.
    // `create` declares an unknown name where implicit declaration is allowed.
    virtual Variant* ref(Frame&, bool /*create*/) { return nullptr; }
    // A reference to the value without copying when it lives in a plain variable; else evaluates into tmp.
    virtual const Variant& peek(Frame& f, Variant& tmp) {
        tmp = eval(f);
        return tmp;
    }
    // True when evaluating cannot change any variable (literals and plain variables).
    virtual bool pure() const { return false; }
};
using ExprPtr = std::unique_ptr<Expr>;

struct Stmt {
    int line = 0, col = 0;
    virtual ~Stmt() = default;
    virtual Flow exec(Frame& f) = 0;
};
using StmtPtr = std::unique_ptr<Stmt>;
using Block = std::vector<StmtPtr>;

enum class ProcKind : uint8_t { TopLevel, Sub, Function, PropGet, PropLet, PropSet };

struct Param {
    std::u16string name;
    bool byVal = false;
};

struct ArrayInit {
    int slot;
    std::vector<int32_t> upper; // upper bounds; lower bounds are 0
};

struct Procedure {
    std::u16string name;
    ProcKind kind = ProcKind::Sub;
    std::vector<Param> params;
    NameMap locals; // name -> slot (params first, then the return value, then Dims)
    // Names assigned without declaration, or resized by ReDim without a Dim: used only when no local,
    // class member, global, host member or built-in of that name exists when the name is first used.
    NameMap implicitLocals;
    std::vector<int> constSlots; // slots of the procedure's own Consts: read-only
    int slotCount = 0;
    int returnSlot = -1;
    std::vector<ArrayInit> arrayInits;
    Block body;
    ClassDef* cls = nullptr;
    bool isPublic = true;
    bool isDefault = false;
    bool optionExplicit = false;
    bool global = true;         // top-level code: names are globals
    Procedure* outer = nullptr; // for code run by Execute inside a procedure: that procedure's names
    int line = 0;
};

struct GlobalSlot {
    std::u16string name;
    Variant value;
    Procedure* proc = nullptr;
    ClassDef* cls = nullptr;
    int builtinClass = -1; // New RegExp
    bool isConst = false;
    bool declared = false;
};

struct ClassMember {
    std::u16string name;
    int field = -1;
    bool isPublic = true;
    Procedure* get = nullptr;
    Procedure* let = nullptr;
    Procedure* set = nullptr;
    Procedure* method = nullptr;
};

struct ClassDef {
    std::u16string name;
    std::vector<ClassMember> members;
    NameMap memberIndex;
    int fieldCount = 0;
    std::vector<ArrayInit> fieldArrays;
    int defaultMember = -1;
    Procedure* init = nullptr;
    Procedure* term = nullptr;
    std::vector<std::unique_ptr<Procedure>> procs;
};

// What a parse produces: the top-level code and everything it defines, kept alive while the host runs.
struct Chunk {
    std::unique_ptr<Procedure> top;
    std::vector<std::unique_ptr<Procedure>> procs;
    std::vector<std::unique_ptr<ClassDef>> classes;
    std::unique_ptr<Expr> evalExpr; // Eval: the expression
};

// Variables that code run by Execute declares inside a procedure: they belong to that call of the
// procedure and end with it. Node-based, so their addresses stay put while the call lasts.
struct DynamicVar {
    Variant value;
    bool isConst = false;
};
using DynamicLocals = std::unordered_map<std::u16string, DynamicVar>;

struct Frame {
    Interp* in;
    Variant** slots;
    ClassInstance* self;
    Procedure* proc;
    bool resumeNext = false;
    // The running call's Execute-declared variables, made on first need; null outside procedures.
    std::unique_ptr<DynamicLocals>* dynamic = nullptr;

    DynamicVar* findDynamic(const std::u16string& key) const {
        if (!dynamic || !*dynamic) return nullptr;
        auto it = (*dynamic)->find(key);
        return it == (*dynamic)->end() ? nullptr : &it->second;
    }
    DynamicVar& declareDynamic(const std::u16string& key);
};

// An instance of a script class.
class ClassInstance : public HostObject {
public:
    ClassInstance(Interp* in, ClassDef* cls);
    // Member ids are 1 + the member's index in the class.
    int findMember(std::u16string_view name) override;
    int defaultMember() const override {
        return cls->defaultMember >= 0 ? cls->defaultMember + 1 : kNoMember;
    }
    Variant invoke(int memberId, InvokeKind kind, const CallArgs& args) override;
    std::u16string typeName() const override { return cls->name; }

    Interp* in;
    ClassDef* cls;
    std::vector<Variant> fields;
    bool terminated = false;
    std::shared_ptr<Interp*> token; // null once the interpreter is reset or gone
};

// The objects the interpreter builds in: their member ids stay fixed for a type.
class BuiltinObject : public HostObject {
public:
    // Adds what the object holds to a count of the script's memory.
    virtual void countMemory(MemoryCount&) const {}
    // True when releasing the object runs no script code and touches nothing but its own values, so
    // that any thread may free it.
    virtual bool holdsPlainData() const { return false; }
};

// True for text, numbers and arrays or dictionaries of nothing else: values any thread may free.
bool isPlainData(const Variant& v);

struct ErrState {
    int32_t number = 0;
    std::u16string description, source, helpFile;
    int32_t helpContext = 0;
    int line = 0, column = 0;
};

using BuiltinFn = Variant (*)(Frame& f, const CallArgs& args);
struct Builtin {
    const char16_t* name;
    BuiltinFn fn;
    int8_t minArgs, maxArgs; // maxArgs -1: any number
    bool isConst = false;    // a named constant (vbCrLf): read-only
    bool runsCode = false;   // Eval and Execute: errors inside are the code's, not the built-in's
};
const Builtin* findBuiltin(std::u16string_view name);

// A stack of variable slots whose addresses stay put while frames come and go.
class SlotStack {
public:
    Variant* allocVariants(size_t n);
    Variant** allocPointers(size_t n);
    struct Mark {
        size_t vBlock, vUsed, pBlock, pUsed;
    };
    Mark mark() const { return {vBlock_, vUsed_, pBlock_, pUsed_}; }
    void release(const Mark& m) {
        vBlock_ = m.vBlock, vUsed_ = m.vUsed, pBlock_ = m.pBlock, pUsed_ = m.pUsed;
    }
    // Every slot made so far; those of frames that ended are Empty.
    template <typename F> void forEach(F f) const {
        for (const auto& block : vBlocks_)
            for (size_t i = 0; i < kBlock; ++i)
                f(block[i]);
    }

private:
    static constexpr size_t kBlock = 4096;
    std::vector<std::unique_ptr<Variant[]>> vBlocks_;
    std::vector<std::unique_ptr<Variant*[]>> pBlocks_;
    size_t vBlock_ = 0, vUsed_ = 0, pBlock_ = 0, pUsed_ = 0;
    std::vector<std::unique_ptr<Variant[]>> big_;
};

class Interp {
public:
    explicit Interp(ScriptUi* ui);
    ~Interp();

    ScriptUi* ui;
    // Shared with the objects the interpreter made; cleared when they must no longer call back.
    std::shared_ptr<Interp*> alive = std::make_shared<Interp*>(this);
    std::deque<GlobalSlot> globals;
    NameMap globalIndex;
    std::vector<std::shared_ptr<HostObject>> memberObjects; // objects whose members are global
    std::vector<std::unique_ptr<Chunk>> chunks;
    ErrState err;
    std::shared_ptr<HostObject> errObject;
    SlotStack slotStack;

    // Stop requests (StopReason bits), set by the host's watchdog or interrupt() from any thread and
    // looked at before every statement and loop turn. Points at the host's flag while a host runs this.
    std::atomic<uint32_t> ownStop{0};
    std::atomic<uint32_t>* stop = &ownStop;
    MemoryMeter memory{*this};
    std::vector<Variant> discarded; // what a stopped run left, to be freed off the script's thread
    std::vector<const DynamicLocals*> dynamicSets; // those of the calls running now
    const char* stackBase = nullptr;
    size_t stackLimit = 0;
    int depth = 0;
    int line = 0, column = 0; // the statement running now
    int hiddenCounter = 0;
    ClassInstance* currentSelf = nullptr; // Me of the running procedure: it may use private members
    bool valueWanted = false; // set while a built-in runs for its value rather than as a statement
    int terminateDepth = 0;
    std::vector<ClassInstance*> pendingTerminate;

    int32_t locale = 1033;
    uint32_t rndSeed = 0x50000;
    double lastRnd = 0x50000 / 16777216.0; // Rnd(0) before any Rnd repeats the initial seed

    void poll() {
        if (stop->load(std::memory_order_relaxed)) abortRun();
    }
    [[noreturn]] void abortRun();
    void checkStack();
    // The bytes that the script's variables hold now, through every array and object they reach.
    size_t measureMemory();

    GlobalSlot* findGlobal(std::u16string_view name);
    GlobalSlot& declareGlobal(std::u16string_view name);

    // Compiles text into a chunk; `scope` non-null compiles for Execute/Eval inside that procedure.
    Chunk* compile(std::u16string_view text, Procedure* scope, bool expressionOnly);
    void runTop(Chunk* c);

    Variant callProc(Procedure* p, ClassInstance* self, const CallArgs& args);
    Variant invokeMember(ClassInstance* obj, int member, InvokeKind kind, const CallArgs& args);
    std::shared_ptr<HostObject> newInstance(ClassDef* cls);
    // New RegExp and the objects CreateObject knows; nullptr for other names.
    std::shared_ptr<HostObject> newBuiltinObject(std::u16string_view name);
    void terminate(ClassInstance* obj) noexcept;

    void setErr(const ScriptError& e);
    void clearErr() { err = ErrState{}; }
    void initArrays(Variant** slots, const std::vector<ArrayInit>& inits);
};

// The array that `Dim a(upper...)` makes; {-1} is `Dim a()`, a dynamic array without dimensions.
ArrayData declaredArray(const std::vector<int32_t>& upper);

// Fails with `number` about `name`, which reports to the host show ("Variable is undefined: 'x'").
[[noreturn]] inline void failNamed(int number, std::u16string_view name) {
    ScriptError e(number);
    e.name = std::u16string(name);
    throw e;
}

// Value helpers shared by the evaluator and built-ins.
Variant objectDefault(const Variant& v); // the value of an object's default member (Get, no args)
inline const Variant& valueOf(const Variant& v, Variant& tmp) {
    if (v.isObject()) {
        tmp = objectDefault(v);
        return tmp;
    }
    return v;
}
Variant indexValue(Frame& f, Variant& target, const CallArgs& args, InvokeKind kind);
Variant* arrayElement(Variant& arr, const CallArgs& args);
std::u16string typeNameOf(const Variant& v);
CallArgs noArgs();

// Operators (Operators.cpp).
Variant opAdd(const Variant& a, const Variant& b);
Variant opSub(const Variant& a, const Variant& b);
Variant opMul(const Variant& a, const Variant& b);
Variant opDiv(const Variant& a, const Variant& b);
Variant opIntDiv(const Variant& a, const Variant& b);
Variant opMod(const Variant& a, const Variant& b);
Variant opPow(const Variant& a, const Variant& b);
Variant opConcat(const Variant& a, const Variant& b);
Variant opNeg(const Variant& a);
Variant opNot(const Variant& a);
Variant opAnd(const Variant& a, const Variant& b);
Variant opOr(const Variant& a, const Variant& b);
Variant opXor(const Variant& a, const Variant& b);
Variant opEqv(const Variant& a, const Variant& b);
Variant opImp(const Variant& a, const Variant& b);
// -1, 0, 1, or 2 for Null; literal flags select VBScript's rules for strings against numbers.
int compareValues(const Variant& a, const Variant& b, bool aLiteral, bool bLiteral, bool textCompare = false);
// Select Case and built-ins: "=" between two values.
bool valuesEqual(const Variant& a, const Variant& b);
int compareStrings(std::u16string_view a, std::u16string_view b, bool text);

} // namespace vbscript::detail
