// The interpreter core: globals, procedure calls, class instances, time-out and stack guard.
#include <pthread.h>

#include "Ast.h"
#include "Objects.h"
#include "Parser.h"
#include "vbscript/ScriptError.h"

namespace vbscript::detail {

std::u16string nameKey(std::u16string_view name) {
    std::u16string k(name);
    for (auto& c : k) {
        if (c >= u'a' && c <= u'z')
            c -= 32;
        else if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
            c -= 32;
    }
    return k;
}

// ---- slot stack ----

Variant* SlotStack::allocVariants(size_t n) {
    for (;;) {
        if (vBlock_ < vBlocks_.size()) {
            if (vUsed_ + n <= kBlock) {
                Variant* p = vBlocks_[vBlock_].get() + vUsed_;
                vUsed_ += n;
                return p;
            }
            ++vBlock_;
            vUsed_ = 0;
            continue;
        }
        if (n > kBlock) throw ScriptError(28);
        vBlocks_.push_back(std::make_unique<Variant[]>(kBlock));
    }
}

Variant** SlotStack::allocPointers(size_t n) {
    for (;;) {
        if (pBlock_ < pBlocks_.size()) {
            if (pUsed_ + n <= kBlock) {
                Variant** p = pBlocks_[pBlock_].get() + pUsed_;
                pUsed_ += n;
                return p;
            }
            ++pBlock_;
            pUsed_ = 0;
            continue;
        }
        if (n > kBlock) throw ScriptError(28);
        pBlocks_.push_back(std::make_unique<Variant*[]>(kBlock));
    }
}

DynamicVar& Frame::declareDynamic(const std::u16string& key) {
    if (!*dynamic) {
        *dynamic = std::make_unique<DynamicLocals>();
        in->dynamicSets.push_back(dynamic->get());
    }
    return (**dynamic)[key];
}

// ---- interpreter ----

Interp::Interp(ScriptUi* u) : ui(u) {
    errObject = makeErrObject(this);
    pthread_attr_t attr;
    size_t size = 0;
    void* addr = nullptr;
    if (pthread_getattr_np(pthread_self(), &attr) == 0) {
        pthread_attr_getstack(&attr, &addr, &size);
        pthread_attr_destroy(&attr);
    }
    // Leave room below the limit for host calls and the error path.
    stackLimit = size > (512u << 10) ? std::min<size_t>(size - (384u << 10), 6u << 20) : (256u << 10);
}

Interp::~Interp() {
    // Objects still alive must not call back into a dying interpreter.
    *alive = nullptr;
    globals.clear();
}

void Interp::abortRun() {
    throw ScriptAbort{stop->load(std::memory_order_relaxed), line, column};
}

void Interp::checkStack() {
    char probe;
    if (stackBase && static_cast<size_t>(stackBase - &probe) > stackLimit) throw ScriptError(28);
    if (depth > 20000) throw ScriptError(28);
}

GlobalSlot* Interp::findGlobal(std::u16string_view name) {
    auto it = globalIndex.find(nameKey(name));
    return it == globalIndex.end() ? nullptr : &globals[it->second];
}

GlobalSlot& Interp::declareGlobal(std::u16string_view name) {
    auto key = nameKey(name);
    auto it = globalIndex.find(key);
    if (it != globalIndex.end()) return globals[it->second];
    globals.emplace_back();
    globals.back().name = std::u16string(name);
    globalIndex[key] = static_cast<int>(globals.size() - 1);
    return globals.back();
}

Chunk* Interp::compile(std::u16string_view text, Procedure* scope, bool expressionOnly) {
    auto chunk = parseProgram(*this, text, scope, expressionOnly);
    for (auto& p : chunk->procs) {
        GlobalSlot& g = declareGlobal(p->name);
        g.proc = p.get();
        g.cls = nullptr;
        g.value = Variant();
    }
    chunks.push_back(std::move(chunk));
    return chunks.back().get();
}

void Interp::runTop(Chunk* c) {
    Frame f{this, nullptr, nullptr, c->top.get()};
    execBlock(c->top->body, f);
}

ArrayData declaredArray(const std::vector<int32_t>& upper) {
    // `Dim a()` is a dynamic array with no dimensions until ReDim gives it some.
    if (upper.size() == 1 && upper[0] == -1) return ArrayData();
    std::vector<ArrayData::Bound> b;
    for (int32_t u : upper)
        b.push_back({0, u + 1});
    ArrayData a(std::move(b));
    a.fixed = true;
    return a;
}

void Interp::initArrays(Variant** slots, const std::vector<ArrayInit>& inits) {
    for (const auto& ai : inits)
        *slots[ai.slot] = Variant::fromArray(declaredArray(ai.upper));
}

Variant Interp::callProc(Procedure* p, ClassInstance* self, const CallArgs& a) {
    if (a.size() != p->params.size()) failNamed(450, p->name);
    checkStack();
    poll();
    struct Scope {
        Interp& in;
        SlotStack::Mark mark;
        Variant* own;
        int n;
        int line;
        ClassInstance* self;
        ~Scope() {
            in.line = line;
            in.currentSelf = self;
            // Release locals before the slots are reused; an object's Class_Terminate may run here.
            const bool stopping = in.stop->load(std::memory_order_relaxed) != 0;
            for (int i = n - 1; i >= 0; --i) {
                Variant dying = std::move(own[i]);
                // A stopped run leaves at once: what it held is freed elsewhere when no script code can
                // run while it goes (millions of dictionary entries take half a second to free).
                const bool big = dying.isArray() || dying.isObject() ||
                                 (dying.isString() && heapBytes(dying.string()) > kAskFirst);
                if (stopping && big && isPlainData(dying)) in.discarded.push_back(std::move(dying));
            }
            in.slotStack.release(mark);
            --in.depth;
        }
    };
    SlotStack::Mark mark = slotStack.mark();
    int n = p->slotCount;
    Variant* own = slotStack.allocVariants(static_cast<size_t>(n));
    Variant** slots = slotStack.allocPointers(static_cast<size_t>(n));
    ++depth;
    Scope scope{*this, mark, own, n, line, currentSelf};
    currentSelf = self;
    for (int i = 0; i < n; ++i)
        slots[i] = &own[i];
    for (size_t i = 0; i < p->params.size(); ++i) {
        if (p->params[i].byVal || !a.isByRef(i) || i >= 64)
            own[i] = *a.values[i];
        else
            slots[i] = a.values[i];
    }
    if (!p->arrayInits.empty()) initArrays(slots, p->arrayInits);
    // Released before the slots, at the end of the call.
    struct DynamicScope {
        Interp& in;
        std::unique_ptr<DynamicLocals> set;
        ~DynamicScope() {
            if (set) std::erase(in.dynamicSets, set.get());
        }
    } dynamic{*this, nullptr};
    Frame f{this, slots, self, p, false, &dynamic.set};
    execBlock(p->body, f);
    if (p->returnSlot >= 0) return std::move(own[p->returnSlot]);
    return Variant();
}

// ---- classes ----

ClassInstance::ClassInstance(Interp* i, ClassDef* c)
    : in(i), cls(c), fields(static_cast<size_t>(c->fieldCount)) {}

int ClassInstance::findMember(std::u16string_view name) {
    if (!*token) return kNoMember;
    auto it = cls->memberIndex.find(nameKey(name));
    if (it == cls->memberIndex.end()) return kNoMember;
    // Private members are reachable only from code of the same class.
    if (!cls->members[it->second].isPublic && !(in->currentSelf && in->currentSelf->cls == cls))
        return kNoMember;
    return it->second + 1;
}

Variant ClassInstance::invoke(int memberId, InvokeKind kind, const CallArgs& args) {
    if (!*token) throw ScriptError(424);
    int m = memberId - 1;
    if (m < 0 || m >= static_cast<int>(cls->members.size())) throw ScriptError(438);
    return in->invokeMember(this, m, kind, args);
}

Variant Interp::invokeMember(ClassInstance* obj, int m, InvokeKind kind, const CallArgs& args) {
    std::shared_ptr<HostObject> keep = obj->shared_from_this();
    const ClassMember& mem = obj->cls->members[m];
    if (mem.field >= 0) {
        Variant& v = obj->fields[mem.field];
        if (kind == InvokeKind::Get || kind == InvokeKind::Call) {
            if (args.size() == 0) return v;
            if (!v.isArray() && !v.isObject()) throw ScriptError(438);
            Frame dummy{this, nullptr, obj, nullptr};
            return indexValue(dummy, v, args, kind);
        }
        Variant value = args[args.size() - 1];
        if (kind == InvokeKind::Set && !value.isObject()) throw ScriptError(424);
        if (args.size() == 1) {
            if (v.isArray() && v.array().locks > 0) throw ScriptError(10);
            v = std::move(value);
            return Variant();
        }
        CallArgs idx{args.values.first(args.size() - 1), args.byRefMask};
        if (v.isArray()) {
            *arrayElement(v, idx) = std::move(value);
            return Variant();
        }
        if (v.isObject() && v.object()) {
            std::shared_ptr<HostObject> o = v.object();
            return invokeDefault(*o, kind, args);
        }
        throw ScriptError(438);
    }
    switch (kind) {
    case InvokeKind::Get:
    case InvokeKind::Call:
        if (mem.method) return callProc(mem.method, obj, args);
        if (mem.get) return callProc(mem.get, obj, args);
        if (mem.let || mem.set) throw ScriptError(450);
        throw ScriptError(438);
    case InvokeKind::Let:
        if (mem.let) return callProc(mem.let, obj, args);
        throw ScriptError(mem.get || mem.set || mem.method ? 450 : 438);
    case InvokeKind::Set:
        if (mem.set) return callProc(mem.set, obj, args);
        throw ScriptError(mem.get || mem.method ? 450 : 438);
    }
    return Variant();
}

std::shared_ptr<HostObject> Interp::newInstance(ClassDef* cls) {
    chargeMemory(sizeof(ClassInstance) + static_cast<size_t>(cls->fieldCount) * sizeof(Variant));
    auto* raw = new ClassInstance(this, cls);
    raw->token = alive;
    std::shared_ptr<Interp*> tok = alive;
    std::shared_ptr<HostObject> obj(static_cast<HostObject*>(raw), [tok](HostObject* p) {
        auto* ci = static_cast<ClassInstance*>(p);
        if (*tok)
            (*tok)->terminate(ci);
        else
            delete ci;
    });
    if (!cls->fieldArrays.empty()) {
        std::vector<Variant*> slots;
        for (auto& v : raw->fields)
            slots.push_back(&v);
        initArrays(slots.data(), cls->fieldArrays);
    }
    if (cls->init) callProc(cls->init, raw, noArgs());
    return obj;
}

void Interp::terminate(ClassInstance* obj) noexcept {
    // Deep chains of objects are released one after another instead of recursively.
    if (terminateDepth > 64) {
        pendingTerminate.push_back(obj);
        return;
    }
    ++terminateDepth;
    auto finish = [this](ClassInstance* o) {
        if (!o->terminated && o->cls->term && *o->token) {
            o->terminated = true;
            std::shared_ptr<Interp*> tok = alive;
            // Let Terminate use Me: it holds the object once more, and releasing it comes back here.
            std::shared_ptr<HostObject> again(static_cast<HostObject*>(o), [tok](HostObject* p) {
                auto* ci = static_cast<ClassInstance*>(p);
                if (*tok)
                    (*tok)->terminate(ci);
                else
                    delete ci;
            });
            try {
                callProc(o->cls->term, o, noArgs());
            } catch (...) {
                // Errors inside Class_Terminate are not reported to the code that released the object.
            }
            return;
        }
        delete o;
    };
    finish(obj);
    --terminateDepth;
    if (terminateDepth == 0) {
        ++terminateDepth;
        while (!pendingTerminate.empty()) {
            ClassInstance* o = pendingTerminate.back();
            pendingTerminate.pop_back();
            finish(o);
        }
        --terminateDepth;
    }
}

void Interp::setErr(const ScriptError& e) {
    err.number = e.number;
    err.description = e.description;
    err.source = e.source.empty() ? std::u16string(u"Microsoft VBScript runtime error") : e.source;
    err.helpFile = e.helpFile;
    err.helpContext = e.helpContext;
    err.line = e.line;
    err.column = e.column;
}

} // namespace vbscript::detail
