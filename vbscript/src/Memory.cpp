#include "Memory.h"

#include <algorithm>
#include <limits>

#include "Runtime.h"
#include "vbscript/ScriptError.h"

namespace vbscript::detail {

thread_local MemoryMeter* tlMemory = nullptr;

void MemoryMeter::setBudget(size_t bytes) {
    budget_ = bytes;
    nextCount_ = bytes ? std::max(bytes, live_ + kMinGap) : std::numeric_limits<size_t>::max();
}

void MemoryMeter::settle(size_t pending, bool made) {
    if (budget_ == 0) return;
    live_ = in_.measureMemory();
    // A value just made is not reachable yet: it still counts.
    charged_ = made ? pending : 0;
    if (live_ + pending > budget_) {
        nextCount_ = budget_;
        throw ScriptError(7);
    }
    nextCount_ = std::max(budget_, live_ + pending + kMinGap);
}

bool isPlainData(const Variant& v) {
    std::vector<const Variant*> work{&v};
    while (!work.empty()) {
        const Variant* x = work.back();
        work.pop_back();
        if (x->isArray()) {
            for (const Variant& item : x->array().items)
                if (item.isArray() || item.isObject()) work.push_back(&item);
        } else if (x->isObject()) {
            const auto* b = dynamic_cast<const BuiltinObject*>(x->object().get());
            if (x->object() && (!b || !b->holdsPlainData())) return false;
        }
    }
    return true;
}

void pollRunningScript() {
    if (MemoryMeter* m = tlMemory) m->interp().poll();
}

void appendPolled(std::u16string& to, std::u16string_view text) {
    while (text.size() > kSlice) {
        to.append(text.substr(0, kSlice));
        text.remove_prefix(kSlice);
        pollRunningScript();
    }
    to.append(text);
}

void appendPolled(std::u16string& to, size_t count, char16_t c) {
    while (count > kSlice) {
        to.append(kSlice, c);
        count -= kSlice;
        pollRunningScript();
    }
    to.append(count, c);
}

void MemoryCount::value(const Variant& v) {
    if (in_ && (++values_ & 0xFFFF) == 0) in_->poll();
    switch (v.type()) {
    case VarType::String:
        total_ += heapBytes(v.string());
        break;
    case VarType::Array:
    case VarType::Object:
        work_.push_back(&v);
        break;
    default:
        break;
    }
}

size_t MemoryCount::finish() {
    while (!work_.empty()) {
        const Variant* v = work_.back();
        work_.pop_back();
        if (v->isArray()) {
            const ArrayData& a = v->array();
            if (!seen_.insert(&a).second) continue;
            total_ += sizeof(ArrayData) + a.items.capacity() * sizeof(Variant);
            for (const Variant& item : a.items)
                value(item);
            continue;
        }
        HostObject* o = v->object().get();
        if (!o || !seen_.insert(o).second) continue;
        if (auto* ci = dynamic_cast<ClassInstance*>(o)) {
            total_ += sizeof(ClassInstance) + ci->fields.capacity() * sizeof(Variant);
            for (const Variant& field : ci->fields)
                value(field);
        } else if (auto* bo = dynamic_cast<BuiltinObject*>(o)) {
            bo->countMemory(*this);
        }
    }
    return total_;
}

size_t Interp::measureMemory() {
    MemoryCount count(this);
    for (const GlobalSlot& g : globals)
        count.value(g.value);
    slotStack.forEach([&](const Variant& v) { count.value(v); });
    for (const DynamicLocals* set : dynamicSets)
        for (const auto& [name, var] : *set)
            count.value(var.value);
    return count.finish();
}

} // namespace vbscript::detail
