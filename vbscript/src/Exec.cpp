// Execution of statement nodes: blocks with On Error, assignments, control flow, arrays.
#include <algorithm>
#include <new>

#include "Ast.h"
#include "vbscript/ScriptError.h"

namespace vbscript::detail {

namespace {

void locate(ScriptError& e, const Stmt& s) {
    if (e.line == 0) {
        e.line = s.line;
        e.column = s.col;
    }
}

bool truth(const Variant& v0) {
    Variant tmp;
    const Variant& v = valueOf(v0, tmp);
    switch (v.type()) {
    case VarType::Boolean:
        return v.boolean();
    case VarType::Null:
    case VarType::Empty:
        return false;
    default:
        return v.toBool();
    }
}

// Evaluates a condition; under On Error Resume Next a failing condition counts as true, as VBScript
// carries on with the statement after the test.
bool condition(Expr& e, Frame& f, const Stmt& s) {
    try {
        Variant tmp;
        return truth(e.peek(f, tmp));
    } catch (ScriptError& err) {
        if (!f.resumeNext) {
            locate(err, s);
            throw;
        }
        f.in->setErr(err);
        return true;
    }
}

// An error in a block statement's header under On Error Resume Next: recorded, and the caller
// carries on as VBScript does (usually into the body). Without Resume Next it propagates.
void headerError(ScriptError& err, Frame& f, const Stmt& s) {
    if (!f.resumeNext) {
        locate(err, s);
        throw;
    }
    f.in->setErr(err);
}

// Runs a loop body once after its header failed, then reports that the loop could not go on.
Flow bodyOnceThenFail(Block& body, Frame& f, int number) {
    Flow fl = execBlock(body, f);
    f.in->setErr(ScriptError(number));
    if (fl == Flow::ExitFor || fl == Flow::ExitDo) return Flow::Normal;
    return fl;
}

} // namespace

Flow execBlock(Block& b, Frame& f) {
    Interp& in = *f.in;
    for (auto& s : b) {
        in.line = s->line;
        in.column = s->col;
        in.poll();
        try {
            Flow fl = s->exec(f);
            if (fl != Flow::Normal) return fl;
        } catch (ScriptError& e) {
            locate(e, *s);
            if (!f.resumeNext) throw;
            in.setErr(e);
        } catch (ScriptStopped&) {
            // A host call gave up because the run has to stop: it stops here, where the call was.
            uint32_t reason = in.stop->load(std::memory_order_relaxed);
            throw ScriptAbort{reason ? reason : kInterrupted, s->line, s->col};
        } catch (std::bad_alloc&) {
            // The machine itself ran out: the same error as the budget's, and as catchable.
            ScriptError e(7);
            locate(e, *s);
            if (!f.resumeNext) throw e;
            in.setErr(e);
        }
    }
    return Flow::Normal;
}

Flow CallStmt::exec(Frame& f) {
    switch (call->kind) {
    case ExprKind::Name:
        static_cast<NameExpr*>(call.get())->call(f, noArgs(), InvokeKind::Call, false);
        break;
    case ExprKind::Member: {
        auto* m = static_cast<MemberExpr*>(call.get());
        Variant obj = m->object->eval(f);
        m->invokeOn(obj, InvokeKind::Call, noArgs());
        break;
    }
    case ExprKind::Call:
        static_cast<CallExpr*>(call.get())->invoke(f, InvokeKind::Call);
        break;
    default:
        call->eval(f);
        break;
    }
    return Flow::Normal;
}

Flow AssignStmt::exec(Frame& f) {
    if (appendInPlace) {
        auto* n = static_cast<NameExpr*>(target.get());
        Variant* s = n->storage(f, true);
        if (s && s->isString()) {
            // Evaluate every operand first, as the plain expression would, then append.
            Variant parts[8];
            size_t count = appendParts.size();
            if (count <= 8) {
                for (size_t i = 0; i < count; ++i) {
                    Variant tmp;
                    parts[i] = appendParts[i]->eval(f);
                    if (parts[i].isObject()) parts[i] = objectDefault(parts[i]);
                    if (parts[i].isArray()) throw ScriptError(13);
                }
                s = n->storage(f, true);
                if (s && s->isString()) {
                    std::u16string& text = s->string();
                    const size_t before = heapBytes(text);
                    for (size_t i = 0; i < count; ++i) {
                        if (!parts[i].isString() && !parts[i].isNull())
                            parts[i] = Variant(parts[i].toString());
                        if (!parts[i].isString()) continue;
                        const size_t needed = text.size() + parts[i].string().size();
                        // Growing moves the text into a buffer about twice as large and frees the old one.
                        if (needed > text.capacity())
                            requireMemory((std::max(needed, 2 * text.capacity()) - text.capacity()) *
                                          sizeof(char16_t));
                        appendPolled(text, parts[i].string());
                    }
                    // Only growth is charged: the appended text lives in the variable.
                    if (heapBytes(text) > before) chargeMemory(heapBytes(text) - before);
                    return Flow::Normal;
                }
            }
        }
    }
    Variant v = value->eval(f);
    if (isSet) {
        if (!v.isObject()) throw ScriptError(424);
    } else if (v.isObject() && target->kind != ExprKind::Member) {
        // A variable takes the object's default value; a property's Let receives the object itself.
        v = objectDefault(v);
    }
    switch (target->kind) {
    case ExprKind::Name:
        static_cast<NameExpr*>(target.get())->assign(f, std::move(v), isSet, nullptr);
        break;
    case ExprKind::Member: {
        auto* m = static_cast<MemberExpr*>(target.get());
        Variant obj = m->object->eval(f);
        Variant* p = &v;
        CallArgs args{std::span<Variant* const>(&p, 1), 0};
        m->invokeOn(obj, isSet ? InvokeKind::Set : InvokeKind::Let, args);
        break;
    }
    case ExprKind::Call:
        static_cast<CallExpr*>(target.get())->assign(f, std::move(v), isSet);
        break;
    default:
        throw ScriptError(501);
    }
    return Flow::Normal;
}

Flow IfStmt::exec(Frame& f) {
    for (auto& [cond, body] : branches)
        if (condition(*cond, f, *this)) return execBlock(body, f);
    return execBlock(elseBlock, f);
}

Flow ForStmt::exec(Frame& f) {
    Variant* v = var->ref(f, true);
    if (!v) throw ScriptError(501);
    Variant start, end, st;
    double endD, stepD;
    try {
        start = from->eval(f);
        end = to->eval(f);
        st = step ? step->eval(f) : Variant::fromInteger(1);
        Variant t1, t2, t3;
        start = Variant(valueOf(start, t1));
        end = Variant(valueOf(end, t2));
        st = Variant(valueOf(st, t3));
        if (start.isNull() || end.isNull() || st.isNull()) throw ScriptError(94);
        if (start.isString()) start = Variant(start.toDouble());
        if (st.isString()) st = Variant(st.toDouble());
        endD = end.toDouble();
        stepD = st.toDouble();
    } catch (ScriptError& e) {
        headerError(e, f, *this);
        return bodyOnceThenFail(body, f, 92);
    }
    *v = start;
    for (;;) {
        double cur = v->toDouble();
        if (stepD >= 0 ? cur > endD : cur < endD) break;
        Flow fl = execBlock(body, f);
        if (fl == Flow::ExitFor) break;
        if (fl != Flow::Normal) return fl;
        *v = opAdd(*v, st);
        f.in->poll();
    }
    return Flow::Normal;
}

Flow ForEachStmt::exec(Frame& f) {
    Variant* v = var->ref(f, true);
    if (!v) throw ScriptError(501);
    Variant coll;
    try {
        coll = collection->eval(f);
        if (!coll.isArray() && !(coll.isObject() && coll.object()))
            throw ScriptError(coll.isObject() ? 91 : 451);
    } catch (ScriptError& e) {
        headerError(e, f, *this);
        return bodyOnceThenFail(body, f, 451);
    }
    if (coll.isArray()) {
        ArrayData& a = coll.array();
        for (size_t i = 0; i < a.items.size(); ++i) {
            *v = a.items[i];
            Flow fl = execBlock(body, f);
            if (fl == Flow::ExitFor) return Flow::Normal;
            if (fl != Flow::Normal) return fl;
            f.in->poll();
        }
        *v = Variant();
        return Flow::Normal;
    }
    if (coll.isObject()) {
        if (!coll.object()) throw ScriptError(91);
        std::unique_ptr<Enumerator> e;
        try {
            e = coll.object()->enumerate();
            if (!e) throw ScriptError(451);
        } catch (ScriptError& err) {
            headerError(err, f, *this);
            return bodyOnceThenFail(body, f, 451);
        }
        Variant item;
        while (e->next(item)) {
            *v = std::move(item);
            item = Variant();
            Flow fl = execBlock(body, f);
            if (fl == Flow::ExitFor) return Flow::Normal;
            if (fl != Flow::Normal) return fl;
            f.in->poll();
        }
        // A loop that ran to its end leaves the variable Empty.
        *v = Variant();
        return Flow::Normal;
    }
    throw ScriptError(451);
}

Flow DoStmt::exec(Frame& f) {
    for (;;) {
        if (cond && !testAtEnd) {
            bool c = condition(*cond, f, *this);
            if (until ? c : !c) break;
        }
        Flow fl = execBlock(body, f);
        if (fl == Flow::ExitDo && !isWend) break;
        if (fl != Flow::Normal) return fl;
        if (cond && testAtEnd) {
            bool c;
            try {
                Variant tmp;
                c = truth(cond->peek(f, tmp));
            } catch (ScriptError& e) {
                headerError(e, f, *this);
                break;
            }
            if (until ? c : !c) break;
        }
        f.in->poll();
    }
    return Flow::Normal;
}

Flow SelectStmt::exec(Frame& f) {
    Variant t, tv;
    try {
        t = test->eval(f);
        t = Variant(valueOf(t, tv));
    } catch (ScriptError& e) {
        headerError(e, f, *this);
        return Flow::Normal;
    }
    for (auto& c : cases) {
        if (c.values.empty()) return execBlock(c.body, f);
        for (auto& ve : c.values) {
            int r;
            Variant tmp, tmp2;
            const Variant* v;
            try {
                v = &valueOf(ve->peek(f, tmp), tmp2);
            } catch (ScriptError& e) {
                headerError(e, f, *this);
                return execBlock(c.body, f);
            }
            try {
                r = compareValues(t, *v, test->literal, ve->literal);
            } catch (ScriptError&) {
                r = 1; // values that cannot be compared do not match
            }
            if (r == 0) return execBlock(c.body, f);
        }
    }
    return Flow::Normal;
}

Flow OnErrorStmt::exec(Frame& f) {
    f.resumeNext = resumeNext;
    f.in->clearErr();
    return Flow::Normal;
}

Flow ReDimStmt::exec(Frame& f) {
    for (auto& item : items) {
        Variant* s = item.target->ref(f, true);
        if (!s) throw ScriptError(501);
        if (!preserve && s->isArray() && (s->array().fixed || s->array().locks > 0)) throw ScriptError(10);
        std::vector<ArrayData::Bound> bounds;
        for (auto& b : item.bounds) {
            int32_t u = b->eval(f).toLong();
            if (u < -1) throw ScriptError(9);
            bounds.push_back({0, u + 1});
        }
        if (s->isArray()) {
            if (s->array().fixed || s->array().locks > 0) throw ScriptError(10);
        }
        ArrayData a(bounds);
        if (preserve && s->isArray()) {
            ArrayData& old = s->array();
            if (old.dimensions() != 0) {
                if (old.dimensions() != a.dimensions()) throw ScriptError(9);
                for (int d = 0; d + 1 < a.dimensions(); ++d)
                    if (old.bounds[d].count != a.bounds[d].count) throw ScriptError(9);
                // Column-major: the last dimension is outermost, so a prefix copy keeps the elements.
                size_t n = std::min(old.items.size(), a.items.size());
                for (size_t i = 0; i < n; ++i)
                    a.items[i] = std::move(old.items[i]);
            }
        }
        *s = Variant::fromArray(std::move(a));
    }
    return Flow::Normal;
}

Flow EraseStmt::exec(Frame& f) {
    for (auto& t : targets) {
        Variant* s = t->ref(f, false);
        if (!s && t->kind == ExprKind::Name) {
            auto* n = static_cast<NameExpr*>(t.get());
            if (n->nk == NameKind::Unknown && n->scope->optionExplicit) throw ScriptError(500);
        }
        if (!s || !s->isArray()) throw ScriptError(13);
        ArrayData& a = s->array();
        if (a.locks > 0) throw ScriptError(10);
        if (a.fixed) {
            for (auto& v : a.items)
                v = Variant();
        } else {
            *s = Variant::fromArray(ArrayData());
        }
    }
    return Flow::Normal;
}

Flow WithStmt::exec(Frame& f) {
    Variant* s = slot->ref(f, true);
    try {
        *s = object->eval(f);
        if (!s->isObject()) throw ScriptError(424);
    } catch (ScriptError& e) {
        headerError(e, f, *this);
        *s = Variant();
    }
    struct Clear {
        Frame& f;
        Expr* slot;
        ~Clear() {
            if (Variant* p = slot->ref(f, false)) *p = Variant();
        }
    } clear{f, slot.get()};
    return execBlock(body, f);
}

Flow ConstStmt::exec(Frame& f) {
    Variant v = value->eval(f);
    if (global) {
        global->value = std::move(v);
    } else if (!dynamicKey.empty()) {
        DynamicVar& d = f.declareDynamic(dynamicKey);
        d.value = std::move(v);
        d.isConst = true;
    } else {
        *f.slots[localSlot] = std::move(v);
    }
    return Flow::Normal;
}

Flow DynamicDimStmt::exec(Frame& f) {
    if (f.findDynamic(key)) return Flow::Normal; // an earlier Execute of the same call declared it
    DynamicVar& d = f.declareDynamic(key);
    if (isArray) d.value = Variant::fromArray(declaredArray(upper));
    return Flow::Normal;
}

} // namespace vbscript::detail
