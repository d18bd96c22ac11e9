#include "vbscript/ScriptHost.h"

#include <new>
#include <string>
#include <thread>

#include "Ast.h"
#include "Runtime.h"
#include "Watchdog.h"
#include "lib/LibError.h"

namespace vbscript {

using namespace detail;

class ScriptHost::Impl {
public:
    explicit Impl(ScriptUi* u) : ui(u), in(makeInterp()) {}

    ScriptUi* ui;
    // Shared by every interpreter of this host, so that a reset in the middle of a run changes nothing.
    std::atomic<uint32_t> stop{0};
    std::atomic<bool> active{false};
    size_t memoryBudget = MemoryMeter::kDefaultBudget;
    std::unique_ptr<Interp> in;
    std::vector<std::unique_ptr<Interp>> retired; // reset while code was running
    ErrorHandler handler;
    std::chrono::milliseconds timeout{10000};
    Watchdog watchdog;
    std::optional<ScriptErrorInfo> last;
    int running = 0;

    std::unique_ptr<Interp> makeInterp() {
        auto fresh = std::make_unique<Interp>(ui);
        fresh->stop = &stop;
        fresh->memory.setBudget(memoryBudget);
        return fresh;
    }

    void report(int32_t number, std::u16string description, std::u16string source, int line, int column,
                bool compile) {
        ScriptErrorInfo info;
        info.number = number;
        info.description = std::move(description);
        info.source = source.empty() ? std::u16string(compile ? u"Microsoft VBScript compilation error"
                                                              : u"Microsoft VBScript runtime error")
                                     : std::move(source);
        info.line = line;
        info.column = column;
        info.compileError = compile;
        last = info;
        if (handler) handler(info);
    }

    // Plain data that a stopped run left goes on a thread of its own, so that the host gets its time back
    // at once; freeing touches nothing of the interpreter.
    static void freeElsewhere(std::vector<Variant>& values) {
        if (values.empty()) return;
        std::thread([doomed = std::move(values)]() mutable { doomed.clear(); }).detach();
        values.clear();
    }

    void reportStop(uint32_t reason, int line, int column) {
        std::u16string text;
        if (reason & kTimedOut) {
            std::string ms = std::to_string(timeout.count());
            text = u"Script timed out: it ran longer than " + std::u16string(ms.begin(), ms.end()) + u" ms";
        } else {
            text = u"The script was stopped";
        }
        report(kTimeoutErrorNumber, std::move(text), {}, line, column, false);
    }

    // Runs `body` with the time-out, the memory budget and the stack guard armed, turning every failure
    // into an error report.
    template <typename F> bool guarded(F&& body, bool compilePhase = false) {
        Interp* cur = in.get();
        char probe;
        if (running == 0) {
            stop.store(0, std::memory_order_relaxed);
            cur->stackBase = &probe;
            if (timeout.count() > 0) watchdog.arm(Watchdog::Clock::now() + timeout, &stop, kTimedOut);
            active.store(true);
        }
        ++running;
        struct Leave {
            Impl& impl;
            ~Leave() {
                if (--impl.running == 0) {
                    impl.active.store(false);
                    impl.watchdog.disarm();
                    impl.retired.clear();
                }
            }
        } leave{*this};
        MemoryScope memoryScope(&cur->memory);
        bool ok = false;
        try {
            body(cur);
            ok = true;
        } catch (ScriptError& e) {
            std::u16string description = e.description;
            if (!e.name.empty()) description += u": '" + e.name + u"'";
            report(e.number, std::move(description), e.source, e.line, e.column,
                   compilePhase && e.number >= 1000 && e.number < 1100);
        } catch (ScriptAbort& a) {
            freeElsewhere(cur->discarded);
            reportStop(a.reason, a.line, a.column);
        } catch (ScriptStopped&) {
            reportStop(stop.load(), cur->line, cur->column);
        } catch (lib::LibError& e) {
            report(e.number, errorDescription(e.number), {}, cur->line, cur->column, false);
        } catch (std::bad_alloc&) {
            report(7, errorDescription(7), {}, cur->line, cur->column, false);
        } catch (std::exception&) {
            report(51, errorDescription(51), {}, cur->line, cur->column, false);
        }
        return ok;
    }
};

ScriptHost::ScriptHost(ScriptUi* ui) : impl_(std::make_unique<Impl>(ui)) {}
ScriptHost::~ScriptHost() = default;

void ScriptHost::reset() {
    auto fresh = impl_->makeInterp();
    if (impl_->running > 0) impl_->retired.push_back(std::move(impl_->in));
    impl_->in = std::move(fresh);
    impl_->last.reset();
}

void ScriptHost::addObject(std::u16string_view name, std::shared_ptr<HostObject> object, bool membersGlobal) {
    Interp& in = *impl_->in;
    GlobalSlot& g = in.declareGlobal(name);
    g.value = Variant(object);
    g.isConst = true;
    g.declared = true;
    if (membersGlobal && object) in.memberObjects.push_back(std::move(object));
}

bool ScriptHost::addCode(std::u16string_view text) {
    Chunk* chunk = nullptr;
    if (!impl_->guarded([&](Interp* in) { chunk = in->compile(text, nullptr, false); }, true)) return false;
    return impl_->guarded([&](Interp* in) { in->runTop(chunk); });
}

std::optional<Variant> ScriptHost::run(std::u16string_view procedureName, std::vector<Variant> args) {
    Variant result;
    bool ok = impl_->guarded([&](Interp* in) {
        GlobalSlot* g = in->findGlobal(procedureName);
        if (!g || !g->proc) {
            ScriptError e(35);
            e.name = std::u16string(procedureName);
            throw e;
        }
        std::vector<Variant*> values;
        for (Variant& a : args)
            values.push_back(&a);
        result = in->callProc(g->proc, nullptr, CallArgs{values, 0});
    });
    if (!ok) return std::nullopt;
    return result;
}

bool ScriptHost::hasProcedure(std::u16string_view procedureName) const {
    GlobalSlot* g = impl_->in->findGlobal(procedureName);
    return g && g->proc;
}

std::vector<ProcedureInfo> ScriptHost::procedures() const {
    std::vector<ProcedureInfo> list;
    for (const GlobalSlot& g : impl_->in->globals)
        if (g.proc)
            list.push_back(
                {g.proc->name, g.proc->kind == ProcKind::Function, static_cast<int>(g.proc->params.size())});
    return list;
}

std::optional<Variant> ScriptHost::eval(std::u16string_view expression) {
    Chunk* chunk = nullptr;
    if (!impl_->guarded([&](Interp* in) { chunk = in->compile(expression, nullptr, true); }, true))
        return std::nullopt;
    Variant result;
    if (!impl_->guarded([&](Interp* in) {
            Frame f{in, nullptr, nullptr, chunk->top.get()};
            result = chunk->evalExpr->eval(f);
        }))
        return std::nullopt;
    return result;
}

void ScriptHost::interrupt() {
    if (impl_->active.load()) impl_->stop.fetch_or(kInterrupted);
}

bool ScriptHost::stopRequested() const noexcept {
    return impl_->active.load(std::memory_order_relaxed) && impl_->stop.load(std::memory_order_relaxed) != 0;
}

void ScriptHost::setErrorHandler(ErrorHandler handler) {
    impl_->handler = std::move(handler);
}
void ScriptHost::setTimeout(std::chrono::milliseconds timeout) {
    impl_->timeout = timeout;
}
std::chrono::milliseconds ScriptHost::timeout() const {
    return impl_->timeout;
}
void ScriptHost::setMemoryBudget(size_t bytes) {
    impl_->memoryBudget = bytes;
    impl_->in->memory.setBudget(bytes);
}
size_t ScriptHost::memoryBudget() const {
    return impl_->memoryBudget;
}
const std::optional<ScriptErrorInfo>& ScriptHost::lastError() const {
    return impl_->last;
}

} // namespace vbscript
