#include "vbscript/ScriptHost.h"

#include <new>

#include "Ast.h"
#include "Runtime.h"
#include "lib/LibError.h"

namespace vbscript {

using namespace detail;

class ScriptHost::Impl {
public:
    explicit Impl(ScriptUi* u) : ui(u), in(std::make_unique<Interp>(u)) {}

    ScriptUi* ui;
    std::unique_ptr<Interp> in;
    std::vector<std::unique_ptr<Interp>> retired; // reset while code was running
    ErrorHandler handler;
    std::chrono::milliseconds timeout{10000};
    std::optional<ScriptErrorInfo> last;
    int running = 0;

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

    // Runs `body` with the time-out and stack guard armed, turning every failure into an error report.
    template <typename F> bool guarded(F&& body, bool compilePhase = false) {
        Interp* cur = in.get();
        char probe;
        if (running == 0) {
            cur->deadlineSet = timeout.count() > 0;
            cur->deadline = std::chrono::steady_clock::now() + timeout;
            cur->stackBase = &probe;
            cur->ticks = 0;
        }
        ++running;
        struct Leave {
            Impl& impl;
            ~Leave() {
                if (--impl.running == 0) impl.retired.clear();
            }
        } leave{*this};
        bool ok = false;
        try {
            body(cur);
            ok = true;
        } catch (ScriptError& e) {
            report(e.number, e.description, e.source, e.line, e.column,
                   compilePhase && e.number >= 1000 && e.number < 1100);
        } catch (ScriptAbort& a) {
            report(a.number, a.description, {}, 0, 0, false);
        } catch (lib::LibError& e) {
            report(e.number, errorDescription(e.number), {}, 0, 0, false);
        } catch (std::bad_alloc&) {
            report(7, errorDescription(7), {}, 0, 0, false);
        } catch (std::exception&) {
            report(51, errorDescription(51), {}, 0, 0, false);
        }
        return ok;
    }
};

ScriptHost::ScriptHost(ScriptUi* ui) : impl_(std::make_unique<Impl>(ui)) {}
ScriptHost::~ScriptHost() = default;

void ScriptHost::reset() {
    auto fresh = std::make_unique<Interp>(impl_->ui);
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

bool ScriptHost::run(std::u16string_view procedureName) {
    return impl_->guarded([&](Interp* in) {
        GlobalSlot* g = in->findGlobal(procedureName);
        if (!g || !g->proc)
            throw ScriptError(35, errorDescription(35) + u": '" + std::u16string(procedureName) + u"'");
        in->callProc(g->proc, nullptr, noArgs());
    });
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

void ScriptHost::setErrorHandler(ErrorHandler handler) {
    impl_->handler = std::move(handler);
}
void ScriptHost::setTimeout(std::chrono::milliseconds timeout) {
    impl_->timeout = timeout;
}
std::chrono::milliseconds ScriptHost::timeout() const {
    return impl_->timeout;
}
const std::optional<ScriptErrorInfo>& ScriptHost::lastError() const {
    return impl_->last;
}

} // namespace vbscript
