// The memory budget: the bytes that a script's strings and arrays (and the objects holding them) may
// take at once. Values are charged as they are made; frees are not tracked, so when the charges would
// pass the budget the interpreter counts what is really reachable and fails with error 7 only when
// that is too much. Big allocations ask first, so a single String(1e9, "x") never happens.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "vbscript/Variant.h"

namespace vbscript::detail {

class Interp;

// Counts the bytes reachable from a set of values, each object once; iterative, so deep chains of
// arrays or objects do not exhaust the stack.
class MemoryCount {
public:
    explicit MemoryCount(Interp* in = nullptr) : in_(in) {}
    void add(size_t bytes) { total_ += bytes; }
    void value(const Variant& v);
    // Counts everything reachable from the values given so far.
    size_t finish();

private:
    Interp* in_; // polled now and then: a count of millions of values takes a while
    std::vector<const Variant*> work_;
    std::unordered_set<const void*> seen_;
    size_t total_ = 0;
    size_t values_ = 0;
};

class MemoryMeter {
public:
    static constexpr size_t kDefaultBudget = size_t(512) << 20;
    // Near the budget, counting again after every few bytes would cost more than it saves.
    static constexpr size_t kMinGap = size_t(8) << 20;

    explicit MemoryMeter(Interp& in) : in_(in) {}

    // 0 means no limit.
    void setBudget(size_t bytes);
    size_t budget() const { return budget_; }

    // A value of `bytes` has been made; ScriptError(7) when the script then holds too much.
    void charge(size_t bytes) {
        charged_ += bytes;
        if (live_ + charged_ > nextCount_) settle(bytes, true);
    }
    // About to make a value of `bytes`; ScriptError(7) when it would not fit.
    void require(size_t bytes) {
        if (live_ + charged_ + bytes > nextCount_) settle(bytes, false);
    }
    Interp& interp() const { return in_; }

private:
    void settle(size_t pending, bool made);

    Interp& in_;
    size_t budget_ = kDefaultBudget;
    size_t live_ = 0;    // reachable bytes at the last count
    size_t charged_ = 0; // bytes made since
    size_t nextCount_ = kDefaultBudget;
};

// The meter of the script running on this thread, or null outside runs.
extern thread_local MemoryMeter* tlMemory;

// Only values this large ask before they are made; smaller ones are charged afterwards.
constexpr size_t kAskFirst = size_t(64) << 10;

inline void chargeMemory(size_t bytes) {
    if (MemoryMeter* m = tlMemory) m->charge(bytes);
}
inline void requireMemory(size_t bytes) {
    if (bytes >= kAskFirst)
        if (MemoryMeter* m = tlMemory) m->require(bytes);
}
// Big texts are built a slice at a time, with a look at the stop flag of the running script in between,
// so that no single statement outruns the time-out however large its strings are.
constexpr size_t kSlice = size_t(1) << 22;
void appendPolled(std::u16string& to, std::u16string_view text);
void appendPolled(std::u16string& to, size_t count, char16_t c);
// Stops the running script here when it has to stop (nothing outside runs).
void pollRunningScript();

// The heap bytes behind a string (nothing for short strings kept inside the object).
inline size_t heapBytes(const std::u16string& s) {
    constexpr size_t kInline = 15 / sizeof(char16_t);
    return s.capacity() > kInline ? (s.capacity() + 1) * sizeof(char16_t) : 0;
}

// Sets the meter of this thread for a scope, giving back the one before (runs may nest).
class MemoryScope {
public:
    explicit MemoryScope(MemoryMeter* m) : saved_(tlMemory) { tlMemory = m; }
    ~MemoryScope() { tlMemory = saved_; }
    MemoryScope(const MemoryScope&) = delete;
    MemoryScope& operator=(const MemoryScope&) = delete;

private:
    MemoryMeter* saved_;
};

} // namespace vbscript::detail
