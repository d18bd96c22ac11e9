// Evaluation of expression nodes: names, members, calls, indexing and operators.
#include <algorithm>
#include <cstring>

#include "Ast.h"
#include "vbscript/ScriptError.h"

namespace vbscript::detail {

namespace {

// Arguments evaluated for one call: variables (and array elements) are passed by their storage so
// that ByRef parameters write back; everything else is evaluated into a temporary.
class ArgPack {
public:
    ArgPack(Frame& f, std::vector<ExprPtr>& exprs, bool create) : n_(exprs.size()) {
        if (n_ > kInline) {
            moreTemps_.resize(n_);
            morePtrs_.resize(n_);
            temps_ = moreTemps_.data();
            ptrs_ = morePtrs_.data();
        } else {
            temps_ = inlineTemps_;
            ptrs_ = inlinePtrs_;
        }
        for (size_t i = 0; i < n_; ++i) {
            Expr* e = exprs[i].get();
            Variant* p = nullptr;
            if (e->kind == ExprKind::Name) {
                p = e->ref(f, create);
            } else if (e->kind == ExprKind::Call) {
                ArrayData* arr = nullptr;
                p = static_cast<CallExpr*>(e)->elementRef(f, &arr);
                if (p) {
                    arr->locks++;
                    locked_.push_back(arr);
                }
            }
            if (p) {
                ptrs_[i] = p;
                if (i < 64) mask_ |= uint64_t(1) << i;
            } else {
                temps_[i] = e->eval(f);
                ptrs_[i] = &temps_[i];
            }
        }
    }
    ~ArgPack() {
        for (ArrayData* a : locked_)
            a->locks--;
    }
    CallArgs args() const { return CallArgs{std::span<Variant* const>(ptrs_, n_), mask_}; }

private:
    static constexpr size_t kInline = 4;
    size_t n_;
    uint64_t mask_ = 0;
    Variant inlineTemps_[kInline];
    Variant* inlinePtrs_[kInline];
    std::vector<Variant> moreTemps_;
    std::vector<Variant*> morePtrs_;
    Variant* temps_;
    Variant** ptrs_;
    std::vector<ArrayData*> locked_;
};

// Arguments plus one more value at the end (the value of a Let/Set).
struct ArgsWithValue {
    std::vector<Variant*> ptrs;
    CallArgs make(const CallArgs& a, Variant* value) {
        ptrs.assign(a.values.begin(), a.values.end());
        ptrs.push_back(value);
        return CallArgs{std::span<Variant* const>(ptrs.data(), ptrs.size()), a.byRefMask};
    }
};

// `obj.Prop(i) = v`: the member is asked first; a property that takes no indexes itself passes the
// assignment on to the default member of the object it holds (`form.controls(1) = "x"`).
Variant assignIndexed(HostObject& o, int id, InvokeKind kind, const CallArgs& indexes, Variant* value) {
    ArgsWithValue av;
    try {
        return o.invoke(id, kind, av.make(indexes, value));
    } catch (const ScriptError& e) {
        if (indexes.size() == 0 || (e.number != 450 && e.number != 438)) throw;
        Variant holder;
        try {
            holder = o.invoke(id, InvokeKind::Get, noArgs());
        } catch (const ScriptError&) {
            throw e;
        }
        if (!holder.isObject() || !holder.object() || holder.object().get() == &o) throw;
        std::shared_ptr<HostObject> inner = holder.object();
        ArgsWithValue again;
        return invokeDefault(*inner, kind, again.make(indexes, value));
    }
}

Procedure* localScope(Procedure* scope) {
    if (!scope->global) return scope;
    if (scope->outer && !scope->outer->global) return scope->outer;
    return nullptr;
}

} // namespace

CallArgs noArgs() {
    return CallArgs{std::span<Variant* const>(), 0};
}

Variant objectDefault(const Variant& v) {
    const auto& o = v.object();
    if (!o) throw ScriptError(91);
    Variant r = invokeDefault(*o, InvokeKind::Get, noArgs());
    return r;
}

std::u16string exprText(const Expr& e) {
    switch (e.kind) {
    case ExprKind::Name: {
        const std::u16string& n = static_cast<const NameExpr&>(e).name;
        return n.starts_with(u'<') ? std::u16string() : n; // With's hidden variable has no text
    }
    case ExprKind::Member:
        return static_cast<const MemberExpr&>(e).culprit();
    case ExprKind::Call:
        return exprText(*static_cast<const CallExpr&>(e).target);
    case ExprKind::Paren:
        return exprText(*static_cast<const ParenExpr&>(e).inner);
    case ExprKind::Me:
        return u"Me";
    default:
        return {};
    }
}

std::u16string MemberExpr::culprit() const {
    std::u16string o = exprText(*object);
    return o.empty() ? name : o + u"." + name;
}

Variant MemberExpr::invokeOn(const Variant& obj, InvokeKind kind, const CallArgs& args) const {
    if (!obj.isObject() || !obj.object()) failNamed(424, exprText(*object));
    int id = obj.object()->findMember(name);
    if (id == HostObject::kNoMember) failNamed(438, culprit());
    std::shared_ptr<HostObject> keep = obj.object(); // the call may release the variable that held it
    return keep->invoke(id, kind, args);
}

Variant* arrayElement(Variant& arr, const CallArgs& args) {
    ArrayData& a = arr.array();
    size_t n = args.size();
    if (n == 0 || static_cast<int>(n) != a.dimensions()) throw ScriptError(9);
    int32_t idx[64];
    if (n > 64) throw ScriptError(9);
    for (size_t i = 0; i < n; ++i) {
        Variant tmp;
        const Variant& v = valueOf(args[i], tmp);
        if (v.isNull()) throw ScriptError(13);
        idx[i] = v.toLong();
    }
    Variant* e = a.at(idx, n);
    if (!e) throw ScriptError(9);
    return e;
}

Variant indexValue(Frame&, Variant& target, const CallArgs& args, InvokeKind kind) {
    if (target.isArray()) return *arrayElement(target, args);
    if (target.isObject()) {
        if (!target.object()) throw ScriptError(91);
        std::shared_ptr<HostObject> keep = target.object();
        return invokeDefault(*keep, kind == InvokeKind::Call ? InvokeKind::Call : InvokeKind::Get, args);
    }
    if (args.size() == 0) return target;
    throw ScriptError(13);
}

// `x(args)`, `x()` or `x` as a statement, for a variable x.
Variant callVariable(Frame& f, Variant& v, const CallArgs& args, InvokeKind kind, bool hasArgs) {
    if (v.isArray() || v.isObject()) return indexValue(f, v, args, kind);
    if (!hasArgs && kind != InvokeKind::Call) return v;
    throw ScriptError(13);
}

// ---- names ----

void NameExpr::resolve(Frame& f) {
    Interp& in = *f.in;
    std::u16string key = nameKey(name);
    if (Procedure* lp = localScope(scope)) {
        auto it = lp->locals.find(key);
        if (it != lp->locals.end()) {
            index = it->second;
            if (it->second == lp->returnSlot)
                nk = NameKind::ReturnValue;
            else if (std::find(lp->constSlots.begin(), lp->constSlots.end(), index) != lp->constSlots.end())
                nk = NameKind::LocalConst;
            else
                nk = NameKind::Local;
            return;
        }
        if (inExecutedCode() && findDynamic(f)) return;
    }
    ClassDef* cls = scope->cls;
    if (cls) {
        auto it = cls->memberIndex.find(key);
        if (it != cls->memberIndex.end()) {
            index = it->second;
            const ClassMember& m = cls->members[index];
            if (m.field >= 0) {
                index = m.field;
                nk = NameKind::Field;
            } else {
                nk = NameKind::MeMember;
            }
            return;
        }
    }
    if (GlobalSlot* g = in.findGlobal(name)) {
        global = g;
        nk = NameKind::Global;
        return;
    }
    for (auto& obj : in.memberObjects) {
        int id = obj->findMember(name);
        if (id != HostObject::kNoMember) {
            host = obj.get();
            index = id;
            nk = NameKind::HostMember;
            return;
        }
    }
    if (const Builtin* b = findBuiltin(name)) {
        builtin = b;
        nk = NameKind::Builtin;
        return;
    }
    if (Procedure* lp = localScope(scope)) {
        auto it = lp->implicitLocals.find(key);
        if (it != lp->implicitLocals.end()) {
            index = it->second;
            nk = NameKind::Local;
            return;
        }
    }
    nk = NameKind::Unknown;
}

DynamicVar* NameExpr::findDynamic(Frame& f) {
    if (!f.dynamic || !*f.dynamic) return nullptr;
    DynamicVar* d = f.findDynamic(nameKey(name));
    // Executed code runs once, inside the call that owns the variable, so it may keep the address;
    // the procedure's own code meets a different set in every call.
    if (d && inExecutedCode()) {
        dynamic = d;
        nk = NameKind::Dynamic;
    }
    return d;
}

Variant* NameExpr::storage(Frame& f, bool create) {
    if (nk == NameKind::Unresolved) resolve(f);
    switch (nk) {
    case NameKind::Local:
    case NameKind::ReturnValue:
        return f.slots[index];
    case NameKind::Field:
        return &f.self->fields[index];
    case NameKind::Dynamic:
        return dynamic->isConst ? nullptr : &dynamic->value;
    case NameKind::Global:
        if (global->proc || global->cls || global->isConst || global->builtinClass >= 0) return nullptr;
        return &global->value;
    case NameKind::Unknown: {
        if (DynamicVar* d = findDynamic(f)) return d->isConst ? nullptr : &d->value;
        if (GlobalSlot* g = f.in->findGlobal(name)) {
            global = g;
            nk = NameKind::Global;
            return storage(f, create);
        }
        if (!create || (scope->optionExplicit && !declares)) return nullptr;
        if (inExecutedCode() && f.dynamic) {
            // Code that Execute runs inside a procedure declares into that call, not into the globals.
            dynamic = &f.declareDynamic(nameKey(name));
            nk = NameKind::Dynamic;
            return &dynamic->value;
        }
        GlobalSlot& g = f.in->declareGlobal(name);
        global = &g;
        nk = NameKind::Global;
        return &g.value;
    }
    default:
        return nullptr;
    }
}

Variant* NameExpr::ref(Frame& f, bool create) {
    Variant* s = storage(f, create);
    if (!s && create && nk == NameKind::Unknown && scope->optionExplicit && !findDynamic(f))
        failNamed(500, name);
    return s;
}

Variant NameExpr::eval(Frame& f) {
    if (nk == NameKind::Unresolved) resolve(f);
    switch (nk) {
    case NameKind::Local:
    case NameKind::LocalConst:
    case NameKind::ReturnValue:
        return *f.slots[index];
    case NameKind::Field:
        return f.self->fields[index];
    case NameKind::Dynamic:
        return dynamic->value;
    case NameKind::Global:
        if (global->proc) return f.in->callProc(global->proc, nullptr, noArgs());
        if (global->cls || global->builtinClass >= 0) failNamed(13, name);
        return global->value;
    default:
        return call(f, noArgs(), InvokeKind::Get, false);
    }
}

const Variant& NameExpr::peek(Frame& f, Variant& tmp) {
    if (nk == NameKind::Unresolved) resolve(f);
    switch (nk) {
    case NameKind::Local:
    case NameKind::LocalConst:
    case NameKind::ReturnValue:
        return *f.slots[index];
    case NameKind::Field:
        return f.self->fields[index];
    case NameKind::Dynamic:
        return dynamic->value;
    case NameKind::Global:
        if (!global->proc && !global->cls && global->builtinClass < 0) return global->value;
        [[fallthrough]];
    default:
        tmp = eval(f);
        return tmp;
    }
}

Variant NameExpr::call(Frame& f, const CallArgs& args, InvokeKind kind, bool hasArgs) {
    if (nk == NameKind::Unresolved) resolve(f);
    switch (nk) {
    case NameKind::ReturnValue:
        if (hasArgs) {
            Procedure* p = localScope(scope);
            return f.in->callProc(p, p->cls ? f.self : nullptr, args);
        }
        [[fallthrough]];
    case NameKind::Local:
    case NameKind::LocalConst:
        return callVariable(f, *f.slots[index], args, kind, hasArgs);
    case NameKind::Field:
        return callVariable(f, f.self->fields[index], args, kind, hasArgs);
    case NameKind::Dynamic:
        return callVariable(f, dynamic->value, args, kind, hasArgs);
    case NameKind::Global:
        if (global->proc) return f.in->callProc(global->proc, nullptr, args);
        if (global->cls || global->builtinClass >= 0) failNamed(13, name);
        return callVariable(f, global->value, args, kind, hasArgs);
    case NameKind::MeMember:
        return f.in->invokeMember(f.self, index,
                                  kind == InvokeKind::Call ? InvokeKind::Call : InvokeKind::Get, args);
    case NameKind::HostMember:
        return host->invoke(index, kind, args);
    case NameKind::Builtin:
        if (static_cast<int>(args.size()) < builtin->minArgs ||
            (builtin->maxArgs >= 0 && static_cast<int>(args.size()) > builtin->maxArgs))
            failNamed(450, name);
        {
            // Nested built-ins (run by an object's default member, say) put the flag back.
            struct Restore {
                bool& flag;
                bool saved;
                ~Restore() { flag = saved; }
            } restore{f.in->valueWanted, f.in->valueWanted};
            f.in->valueWanted = kind != InvokeKind::Call;
            try {
                return builtin->fn(f, args);
            } catch (ScriptError& e) {
                // The built-in's own failures name it ("Invalid procedure call or argument: 'Mid'"); those
                // of script code it ran, or custom ones of a host object, stay as they are.
                if (e.name.empty() && e.line == 0 && !builtin->runsCode &&
                    e.description == errorDescription(e.number))
                    e.name = builtin->name;
                throw;
            }
        }
    default:
        if (DynamicVar* d = findDynamic(f)) return callVariable(f, d->value, args, kind, hasArgs);
        if (GlobalSlot* g = f.in->findGlobal(name)) {
            global = g;
            nk = NameKind::Global;
            return call(f, args, kind, hasArgs);
        }
        if (scope->optionExplicit && !hasArgs) failNamed(500, name);
        if (!hasArgs && kind != InvokeKind::Call) return Variant();
        failNamed(13, name);
    }
}

void NameExpr::assign(Frame& f, Variant value, bool isSet, const CallArgs* indexArgs) {
    if (nk == NameKind::Unresolved) resolve(f);
    CallArgs none = noArgs();
    const CallArgs& ia = indexArgs ? *indexArgs : none;
    switch (nk) {
    case NameKind::MeMember: {
        ArgsWithValue av;
        f.in->invokeMember(f.self, index, isSet ? InvokeKind::Set : InvokeKind::Let, av.make(ia, &value));
        return;
    }
    case NameKind::HostMember:
        assignIndexed(*host, index, isSet ? InvokeKind::Set : InvokeKind::Let, ia, &value);
        return;
    case NameKind::Builtin:
        failNamed(501, name);
    case NameKind::Global:
        if (indexArgs && global->isConst && global->value.isObject() && global->value.object()) {
            // An object the host added by name: `textinput(0) = "x"` assigns through its default member.
            std::shared_ptr<HostObject> keep = global->value.object();
            ArgsWithValue av;
            invokeDefault(*keep, isSet ? InvokeKind::Set : InvokeKind::Let, av.make(ia, &value));
            return;
        }
        if (global->isConst || global->proc || global->cls || global->builtinClass >= 0) failNamed(501, name);
        break;
    default:
        break;
    }
    Variant* s = storage(f, true);
    if (!s) {
        if (nk == NameKind::Unknown) failNamed(scope->optionExplicit ? 500 : 13, name);
        failNamed(501, name);
    }
    if (indexArgs) {
        if (s->isArray()) {
            Variant* e = arrayElement(*s, ia);
            *e = std::move(value);
            return;
        }
        if (s->isObject()) {
            if (!s->object()) throw ScriptError(91);
            std::shared_ptr<HostObject> keep = s->object();
            ArgsWithValue av;
            invokeDefault(*keep, isSet ? InvokeKind::Set : InvokeKind::Let, av.make(ia, &value));
            return;
        }
        throw ScriptError(13);
    }
    if (s->isArray() && s->array().locks > 0) throw ScriptError(10);
    *s = std::move(value);
}

// ---- members and calls ----

Variant MemberExpr::eval(Frame& f) {
    Variant tmp;
    const Variant& o = object->peek(f, tmp);
    return invokeOn(o, InvokeKind::Get, noArgs());
}

Variant* CallExpr::elementRef(Frame& f, ArrayData** arr) {
    Variant* s = nullptr;
    if (target->kind == ExprKind::Name) {
        s = static_cast<NameExpr*>(target.get())->storage(f, false);
    } else if (target->kind == ExprKind::Call) {
        // a(i)(j): an element of an array held in an array element.
        ArrayData* outer;
        s = static_cast<CallExpr*>(target.get())->elementRef(f, &outer);
    }
    if (!s || !s->isArray()) return nullptr;
    ArgPack pack(f, args, false);
    try {
        Variant* e = arrayElement(*s, pack.args());
        *arr = &s->array();
        return e;
    } catch (ScriptError& e) {
        nameSubscript(e, f, pack.args());
        throw;
    }
}

Variant* CallExpr::ref(Frame& f, bool) {
    ArrayData* arr;
    return elementRef(f, &arr);
}

Variant CallExpr::invoke(Frame& f, InvokeKind kind) {
    switch (target->kind) {
    case ExprKind::Name: {
        auto* n = static_cast<NameExpr*>(target.get());
        if (n->nk == NameKind::Unresolved) n->resolve(f);
        ArgPack pack(f, args, n->nk != NameKind::Builtin);
        try {
            return n->call(f, pack.args(), kind, true);
        } catch (ScriptError& e) {
            nameSubscript(e, f, pack.args());
            throw;
        }
    }
    case ExprKind::Member: {
        auto* m = static_cast<MemberExpr*>(target.get());
        Variant obj = m->object->eval(f);
        if (args.empty() && kind == InvokeKind::Get && obj.isObject()) {
            // `x = obj.field()`: a class's variable is not something to call.
            if (auto* c = dynamic_cast<ClassInstance*>(obj.object().get())) {
                int id = c->findMember(m->name);
                if (id > 0 && c->cls->members[static_cast<size_t>(id - 1)].field >= 0) throw ScriptError(5);
            }
        }
        ArgPack pack(f, args, true);
        return m->invokeOn(obj, kind, pack.args());
    }
    default: {
        Variant v = target->eval(f);
        ArgPack pack(f, args, true);
        return indexValue(f, v, pack.args(), kind);
    }
    }
}

void CallExpr::assign(Frame& f, Variant value, bool isSet) {
    switch (target->kind) {
    case ExprKind::Name: {
        auto* n = static_cast<NameExpr*>(target.get());
        ArgPack pack(f, args, true);
        CallArgs a = pack.args();
        try {
            n->assign(f, std::move(value), isSet, &a);
        } catch (ScriptError& e) {
            nameSubscript(e, f, a);
            throw;
        }
        return;
    }
    case ExprKind::Member: {
        auto* m = static_cast<MemberExpr*>(target.get());
        Variant obj = m->object->eval(f);
        ArgPack pack(f, args, true);
        if (!obj.isObject() || !obj.object()) failNamed(424, exprText(*m->object));
        std::shared_ptr<HostObject> keep = obj.object();
        int id = keep->findMember(m->name);
        if (id == HostObject::kNoMember) failNamed(438, m->culprit());
        assignIndexed(*keep, id, isSet ? InvokeKind::Set : InvokeKind::Let, pack.args(), &value);
        return;
    }
    default: {
        if (target->kind == ExprKind::Call) {
            ArrayData* arr;
            if (Variant* e = elementRef(f, &arr)) {
                *e = std::move(value);
                return;
            }
        }
        Variant v = target->eval(f);
        if (!v.isObject() || !v.object()) throw ScriptError(13);
        ArgPack pack(f, args, true);
        ArgsWithValue av;
        invokeDefault(*v.object(), isSet ? InvokeKind::Set : InvokeKind::Let, av.make(pack.args(), &value));
        return;
    }
    }
}

void CallExpr::nameSubscript(ScriptError& e, Frame& f, const CallArgs& values) {
    if (e.number != 9 || !e.name.empty() || e.line != 0 || target->kind != ExprKind::Name) return;
    Variant* s = static_cast<NameExpr*>(target.get())->storage(f, false);
    if (!s || !s->isArray() || static_cast<size_t>(s->array().dimensions()) != values.size()) return;
    const ArrayData& a = s->array();
    for (size_t i = 0; i < values.size() && i < args.size(); ++i) {
        Variant tmp;
        const Variant& v = valueOf(values[i], tmp);
        double index = v.isNumeric() || v.isString() ? v.toDouble() : 0;
        const ArrayData::Bound& b = a.bounds[i];
        if (index >= b.lower - 0.5 && index < b.lower + b.count - 0.5) continue;
        if (args[i]->kind == ExprKind::Name)
            e.name = static_cast<NameExpr*>(args[i].get())->name;
        else
            e.name = u"[number: " + v.toString() + u"]";
        return;
    }
}

// ---- operators ----

Variant UnaryExpr::eval(Frame& f) {
    Variant tmp;
    const Variant& v = operand->peek(f, tmp);
    return isNot ? opNot(v) : opNeg(v);
}

Variant BinaryExpr::eval(Frame& f) {
    Variant lt, rt;
    const Variant* a;
    Variant held;
    if (right->pure()) {
        a = &left->peek(f, lt);
    } else {
        held = left->eval(f);
        a = &held;
    }
    const Variant& b = right->peek(f, rt);
    switch (op) {
    case Op::Add:
        return opAdd(*a, b);
    case Op::Sub:
        return opSub(*a, b);
    case Op::Mul:
        return opMul(*a, b);
    case Op::Div:
        return opDiv(*a, b);
    case Op::IntDiv:
        return opIntDiv(*a, b);
    case Op::Mod:
        return opMod(*a, b);
    case Op::Pow:
        return opPow(*a, b);
    case Op::Concat:
        return opConcat(*a, b);
    case Op::And:
        return opAnd(*a, b);
    case Op::Or:
        return opOr(*a, b);
    case Op::Xor:
        return opXor(*a, b);
    case Op::Eqv:
        return opEqv(*a, b);
    case Op::Imp:
        return opImp(*a, b);
    case Op::Is: {
        Variant ta, tb;
        if (!a->isObject() || !b.isObject()) throw ScriptError(424);
        return Variant(a->object().get() == b.object().get());
    }
    default:
        break;
    }
    int c = compareValues(*a, b, left->literal, right->literal);
    if (c == 2) return Variant::null();
    switch (op) {
    case Op::Eq:
        return Variant(c == 0);
    case Op::Ne:
        return Variant(c != 0);
    case Op::Lt:
        return Variant(c < 0);
    case Op::Gt:
        return Variant(c > 0);
    case Op::Le:
        return Variant(c <= 0);
    default:
        return Variant(c >= 0);
    }
}

Variant NewExpr::eval(Frame& f) {
    // The built-in RegExp wins over a script class of the same name, as in VBScript.
    if (auto obj = f.in->newBuiltinObject(className)) return Variant(obj);
    GlobalSlot* g = f.in->findGlobal(className);
    if (g && g->cls) return Variant(f.in->newInstance(g->cls));
    if (!g && scope->optionExplicit) failNamed(500, className);
    failNamed(506, className);
}

Variant MeExpr::eval(Frame& f) {
    // Outside a class, Me is the host object whose members are global.
    if (!f.self)
        return f.in->memberObjects.empty() ? throw ScriptError(424) : Variant(f.in->memberObjects.front());
    return Variant(f.self->shared_from_this());
}

} // namespace vbscript::detail
