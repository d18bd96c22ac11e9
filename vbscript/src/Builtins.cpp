// Built-in functions: constants, type information, arrays, dialogs, Eval/Execute; and the registry of all.
#include <cmath>
#include <ctime>

#include "Ast.h"
#include "Builtins.h"
#include "Objects.h"
#include "lib/DateTime.h"
#include "lib/NumberFormat.h"

namespace vbscript::detail {

Variant argValue(const CallArgs& a, size_t i) {
    const Variant& v = a[i];
    if (v.isObject()) return objectDefault(v);
    return v;
}
bool hasArg(const CallArgs& a, size_t i) {
    return i < a.size() && !a[i].isEmpty();
}
std::u16string argString(const CallArgs& a, size_t i) {
    Variant tmp;
    return valueOf(a[i], tmp).toString();
}
double numArg(const CallArgs& a, size_t i) {
    Variant v = argValue(a, i);
    if (v.isNull()) throw ScriptError(94);
    return v.toDouble();
}
int32_t argLong(const CallArgs& a, size_t i) {
    Variant tmp;
    const Variant& v = valueOf(a[i], tmp);
    if (v.isNull()) throw ScriptError(94);
    return v.toLong();
}

namespace {

// ---- constants ----
#define VBS_CONST_INT(fname, value)                                                                          \
    VBS_FN(fname) {                                                                                          \
        return Variant::fromInteger(value);                                                                  \
    }
#define VBS_CONST_LONG(fname, value)                                                                         \
    VBS_FN(fname) {                                                                                          \
        return Variant::fromLong(value);                                                                     \
    }
#define VBS_CONST_STR(fname, value)                                                                          \
    VBS_FN(fname) {                                                                                          \
        return Variant(std::u16string(value));                                                               \
    }

VBS_CONST_STR(cVbCr, u"\r")
VBS_CONST_STR(cVbLf, u"\n")
VBS_CONST_STR(cVbCrLf, u"\r\n")
VBS_CONST_STR(cVbTab, u"\t")
VBS_CONST_STR(cVbNullString, u"")
VBS_FN(cVbNullChar) {
    return Variant(std::u16string(1, u'\0'));
}
VBS_CONST_STR(cVbFormFeed, u"\f")
VBS_CONST_STR(cVbVerticalTab, u"\v")

// ---- type information ----

VBS_FN(fnIsArray) {
    return Variant(a[0].isArray());
}
VBS_FN(fnIsEmpty) {
    return Variant(a[0].isEmpty());
}
VBS_FN(fnIsNull) {
    return Variant(a[0].isNull());
}
VBS_FN(fnIsObject) {
    return Variant(a[0].isObject());
}
VBS_FN(fnIsNumeric) {
    const Variant& r = a[0];
    Variant v;
    if (r.isObject()) {
        try {
            v = objectDefault(r);
        } catch (ScriptError&) {
            return Variant(false);
        }
    } else {
        v = r;
    }
    switch (v.type()) {
    case VarType::Empty:
    case VarType::Boolean:
    case VarType::Byte:
    case VarType::Integer:
    case VarType::Long:
    case VarType::Single:
    case VarType::Double:
    case VarType::Currency:
        return Variant(true);
    case VarType::String:
        return Variant(vbscript::lib::parseNumber(v.string()).has_value());
    default:
        return Variant(false);
    }
}
VBS_FN(fnIsDate) {
    Variant v = a[0].isObject() ? Variant() : a[0];
    if (v.type() == VarType::Date) return Variant(true);
    if (v.isString()) return Variant(vbscript::lib::parseDate(v.string()).has_value());
    return Variant(false);
}

VBS_FN(fnTypeName) {
    return Variant(typeNameOf(a[0]));
}
VBS_FN(fnVarType) {
    const Variant& v = a[0];
    if (v.isArray()) return Variant::fromInteger(8204);
    return Variant::fromInteger(static_cast<int16_t>(v.type()));
}

// ---- arrays ----

VBS_FN(fnArray) {
    std::vector<Variant> items;
    items.reserve(a.size());
    for (size_t i = 0; i < a.size(); ++i)
        items.push_back(a[i]);
    return Variant::fromVector(std::move(items));
}

Variant bound(const CallArgs& a, bool upper) {
    Variant v = argValue(a, 0);
    if (!v.isArray()) throw ScriptError(13);
    int dim = hasArg(a, 1) ? argLong(a, 1) : 1;
    const ArrayData& arr = v.array();
    if (dim < 1 || dim > arr.dimensions()) throw ScriptError(9);
    const auto& b = arr.bounds[static_cast<size_t>(dim - 1)];
    return Variant::fromLong(upper ? b.lower + b.count - 1 : b.lower);
}
VBS_FN(fnUBound) {
    return bound(a, true);
}
VBS_FN(fnLBound) {
    return bound(a, false);
}

// ---- dialogs and host ----

VBS_FN(fnMsgBox) {
    std::u16string prompt = a[0].isNull() ? std::u16string(u"Null") : argString(a, 0);
    int buttons = hasArg(a, 1) ? argLong(a, 1) : 0;
    std::u16string title = hasArg(a, 2) ? argString(a, 2) : std::u16string(u"VBScript");
    int r = f.in->ui ? f.in->ui->msgBox(prompt, buttons, title) : 1;
    return Variant::fromInteger(static_cast<int16_t>(r));
}
VBS_FN(fnInputBox) {
    std::u16string prompt = argString(a, 0);
    std::u16string title = hasArg(a, 1) ? argString(a, 1) : std::u16string(u"VBScript");
    std::u16string def = hasArg(a, 2) ? argString(a, 2) : std::u16string();
    if (!f.in->ui) return Variant(std::u16string());
    auto r = f.in->ui->inputBox(prompt, title, def);
    if (!r) return Variant(std::u16string());
    return Variant(*r);
}

VBS_FN(fnCreateObject) {
    std::u16string id = argString(a, 0);
    if (namesEqual(id, u"Scripting.Dictionary")) return Variant(makeDictionary());
    if (namesEqual(id, u"VBScript.RegExp")) return Variant(makeRegExp(f.in));
    throw ScriptError(429);
}
VBS_FN(fnGetObject) {
    throw ScriptError(429);
}

VBS_FN(fnErr) {
    return Variant(f.in->errObject);
}

VBS_FN(fnScriptEngine) {
    return Variant(std::u16string(u"VBScript"));
}
VBS_FN(fnScriptEngineMajor) {
    return Variant::fromLong(5);
}
VBS_FN(fnScriptEngineMinor) {
    return Variant::fromLong(8);
}
VBS_FN(fnScriptEngineBuild) {
    return Variant::fromLong(16384);
}
VBS_FN(fnGetLocale) {
    return Variant::fromLong(f.in->locale);
}
VBS_FN(fnSetLocale) {
    int32_t old = f.in->locale;
    if (a.size() > 0 && !a[0].isEmpty()) {
        Variant v = argValue(a, 0);
        if (v.isString() && !vbscript::lib::parseNumber(v.string())) {
            if (!namesEqual(v.string(), u"en-us")) throw ScriptError(5);
            f.in->locale = 1033;
        } else {
            int32_t id = v.toLong();
            if (id <= 0 || id > 0xFFFF) throw ScriptError(447);
            f.in->locale = id;
        }
    } else {
        f.in->locale = 1033;
    }
    return Variant::fromLong(old);
}
VBS_FN(fnRGB) {
    auto part = [&](size_t i) {
        int32_t v = argLong(a, i);
        if (v < 0) throw ScriptError(5);
        return v > 255 ? 255 : v;
    };
    return Variant::fromLong(part(0) + part(1) * 256 + part(2) * 65536);
}

// GetRef's result: calling its default member runs the procedure.
class ProcRef : public BuiltinObject {
public:
    ProcRef(Interp* i, Procedure* p) : in_(i), token_(i->alive), proc_(p) {}
    int findMember(std::u16string_view) override { return kNoMember; }
    int defaultMember() const override { return 0; }
    Variant invoke(int id, InvokeKind kind, const CallArgs& args) override {
        if (!*token_) throw ScriptError(424);
        if (id != 0 || kind == InvokeKind::Let || kind == InvokeKind::Set) throw ScriptError(438);
        return in_->callProc(proc_, nullptr, args);
    }

private:
    Interp* in_;
    std::shared_ptr<Interp*> token_;
    Procedure* proc_;
};

VBS_FN(fnGetRef) {
    Variant v = argValue(a, 0);
    if (!v.isString()) throw ScriptError(13);
    std::u16string name = v.string();
    GlobalSlot* g = f.in->findGlobal(name);
    if (!g || !g->proc) throw ScriptError(5);
    return Variant(std::static_pointer_cast<HostObject>(std::make_shared<ProcRef>(f.in, g->proc)));
}

// ---- Eval / Execute ----

Procedure* dynamicScope(Frame& f) {
    Procedure* p = f.proc;
    if (!p) return nullptr;
    if (p->global) return p->outer;
    return p;
}

void dropIfPlain(Interp& in, Chunk* c) {
    if (c->procs.empty() && c->classes.empty() && !in.chunks.empty() && in.chunks.back().get() == c)
        in.chunks.pop_back();
}

// Code given to Eval/Execute must be a string; a compile error in it is a "Syntax error" that the
// script can catch.
std::u16string codeArg(const CallArgs& a) {
    Variant v = argValue(a, 0);
    if (!v.isString()) throw ScriptError(13);
    return v.string();
}
Chunk* compileDynamic(Interp& in, const std::u16string& code, Procedure* scope, bool expr) {
    try {
        return in.compile(code, scope, expr);
    } catch (ScriptError& e) {
        ScriptError err(e.number == 1031 ? 1031 : 1002, {}, u"Microsoft VBScript compilation error");
        err.line = e.line;
        err.column = e.column;
        throw err;
    }
}

VBS_FN(fnEval) {
    Variant v = argValue(a, 0);
    if (!v.isString()) return v; // Eval of a value that is not text is that value
    std::u16string code = v.string();
    Procedure* scope = dynamicScope(f);
    Chunk* c = compileDynamic(*f.in, code, scope, true);
    Frame fr{f.in, f.slots, f.self, c->top.get(), false, f.dynamic};
    Variant r = c->evalExpr->eval(fr);
    dropIfPlain(*f.in, c);
    return r;
}
VBS_FN(fnExecute) {
    std::u16string code = codeArg(a);
    Procedure* scope = dynamicScope(f);
    Chunk* c = compileDynamic(*f.in, code, scope, false);
    if (scope) {
        Frame fr{f.in, f.slots, f.self, c->top.get(), false, f.dynamic};
        execBlock(c->top->body, fr);
    } else {
        f.in->runTop(c);
    }
    dropIfPlain(*f.in, c);
    return {};
}
VBS_FN(fnExecuteGlobal) {
    std::u16string code = codeArg(a);
    Chunk* c = compileDynamic(*f.in, code, nullptr, false);
    f.in->runTop(c);
    dropIfPlain(*f.in, c);
    return {};
}

const Builtin kBuiltins[] = {
    {u"vbCr", cVbCr, 0, 0, true},
    {u"vbLf", cVbLf, 0, 0, true},
    {u"vbCrLf", cVbCrLf, 0, 0, true},
    {u"vbNewLine", cVbCrLf, 0, 0, true},
    {u"vbTab", cVbTab, 0, 0, true},
    {u"vbNullString", cVbNullString, 0, 0, true},
    {u"vbNullChar", cVbNullChar, 0, 0, true},
    {u"vbFormFeed", cVbFormFeed, 0, 0, true},
    {u"vbVerticalTab", cVbVerticalTab, 0, 0, true},
    {u"IsArray", fnIsArray, 1, 1},
    {u"IsEmpty", fnIsEmpty, 1, 1},
    {u"IsNull", fnIsNull, 1, 1},
    {u"IsObject", fnIsObject, 1, 1},
    {u"IsNumeric", fnIsNumeric, 1, 1},
    {u"IsDate", fnIsDate, 1, 1},
    {u"TypeName", fnTypeName, 1, 1},
    {u"VarType", fnVarType, 1, 1},
    {u"Array", fnArray, 0, -1},
    {u"UBound", fnUBound, 1, 2},
    {u"LBound", fnLBound, 1, 2},
    {u"MsgBox", fnMsgBox, 1, 5},
    {u"InputBox", fnInputBox, 1, 7},
    {u"CreateObject", fnCreateObject, 1, 2},
    {u"GetObject", fnGetObject, 0, 2},
    {u"Err", fnErr, 0, 0},
    {u"ScriptEngine", fnScriptEngine, 0, 0},
    {u"ScriptEngineMajorVersion", fnScriptEngineMajor, 0, 0},
    {u"ScriptEngineMinorVersion", fnScriptEngineMinor, 0, 0},
    {u"ScriptEngineBuildVersion", fnScriptEngineBuild, 0, 0},
    {u"GetLocale", fnGetLocale, 0, 0},
    {u"SetLocale", fnSetLocale, 0, 1},
    {u"RGB", fnRGB, 3, 3},
    {u"GetRef", fnGetRef, 1, 1},
    {u"Eval", fnEval, 1, 1, false, true},
    {u"Execute", fnExecute, 1, 1, false, true},
    {u"ExecuteGlobal", fnExecuteGlobal, 1, 1, false, true},
};

struct NumericConst {
    const char16_t* name;
    int32_t value;
    bool isLong;
};
// Named numbers; each becomes a read-only built-in.
constexpr NumericConst kNumbers[] = {
    {u"vbTrue", -1, false},
    {u"vbFalse", 0, false},
    {u"vbUseDefault", -2, false},
    {u"vbBinaryCompare", 0, false},
    {u"vbTextCompare", 1, false},
    {u"vbDatabaseCompare", 2, false},
    {u"vbSunday", 1, false},
    {u"vbMonday", 2, false},
    {u"vbTuesday", 3, false},
    {u"vbWednesday", 4, false},
    {u"vbThursday", 5, false},
    {u"vbFriday", 6, false},
    {u"vbSaturday", 7, false},
    {u"vbUseSystemDayOfWeek", 0, false},
    {u"vbFirstJan1", 1, false},
    {u"vbFirstFourDays", 2, false},
    {u"vbFirstFullWeek", 3, false},
    {u"vbUseSystem", 0, false},
    {u"vbGeneralDate", 0, false},
    {u"vbLongDate", 1, false},
    {u"vbShortDate", 2, false},
    {u"vbLongTime", 3, false},
    {u"vbShortTime", 4, false},
    {u"vbObjectError", static_cast<int32_t>(0x80040000u), true},
    {u"vbOKOnly", 0, false},
    {u"vbOKCancel", 1, false},
    {u"vbAbortRetryIgnore", 2, false},
    {u"vbYesNoCancel", 3, false},
    {u"vbYesNo", 4, false},
    {u"vbRetryCancel", 5, false},
    {u"vbCritical", 16, false},
    {u"vbQuestion", 32, false},
    {u"vbExclamation", 48, false},
    {u"vbInformation", 64, false},
    {u"vbDefaultButton1", 0, false},
    {u"vbDefaultButton2", 256, false},
    {u"vbDefaultButton3", 512, false},
    {u"vbDefaultButton4", 768, false},
    {u"vbApplicationModal", 0, false},
    {u"vbSystemModal", 4096, false},
    {u"vbMsgBoxHelpButton", 16384, true},
    {u"vbMsgBoxSetForeground", 65536, true},
    {u"vbMsgBoxRight", 524288, true},
    {u"vbMsgBoxRtlReading", 1048576, true},
    {u"vbOK", 1, false},
    {u"vbCancel", 2, false},
    {u"vbAbort", 3, false},
    {u"vbRetry", 4, false},
    {u"vbIgnore", 5, false},
    {u"vbYes", 6, false},
    {u"vbNo", 7, false},
    {u"vbEmpty", 0, false},
    {u"vbNull", 1, false},
    {u"vbInteger", 2, false},
    {u"vbLong", 3, false},
    {u"vbSingle", 4, false},
    {u"vbDouble", 5, false},
    {u"vbCurrency", 6, false},
    {u"vbDate", 7, false},
    {u"vbString", 8, false},
    {u"vbObject", 9, false},
    {u"vbError", 10, false},
    {u"vbBoolean", 11, false},
    {u"vbVariant", 12, false},
    {u"vbDataObject", 13, false},
    {u"vbDecimal", 14, false},
    {u"vbByte", 17, false},
    {u"vbArray", 8192, false},
    {u"vbBlack", 0, true},
    {u"vbRed", 255, true},
    {u"vbGreen", 65280, true},
    {u"vbYellow", 65535, true},
    {u"vbBlue", 16711680, true},
    {u"vbMagenta", 16711935, true},
    {u"vbCyan", 16776960, true},
    {u"vbWhite", 16777215, true},
};

template <size_t I> Variant numberConst(Frame&, const CallArgs&) {
    return kNumbers[I].isLong || kNumbers[I].value > 32767 || kNumbers[I].value < -32768
               ? Variant::fromLong(kNumbers[I].value)
               : Variant::fromInteger(static_cast<int16_t>(kNumbers[I].value));
}

template <size_t... I> std::vector<Builtin> numberBuiltins(std::index_sequence<I...>) {
    return {Builtin{kNumbers[I].name, numberConst<I>, 0, 0, true}...};
}

struct Registry {
    std::unordered_map<std::u16string, const Builtin*> map;
    std::vector<Builtin> numbers = numberBuiltins(std::make_index_sequence<std::size(kNumbers)>());
    Registry() {
        for (const auto& b : kBuiltins)
            map[nameKey(b.name)] = &b;
        for (auto [table, count] : {std::pair<const Builtin*, size_t>{kStringBuiltins, kStringBuiltinCount},
                                    std::pair<const Builtin*, size_t>{kNumberBuiltins, kNumberBuiltinCount},
                                    std::pair<const Builtin*, size_t>{kDateBuiltins, kDateBuiltinCount}})
            for (size_t i = 0; i < count; ++i)
                map[nameKey(table[i].name)] = &table[i];
        for (const auto& b : numbers)
            map[nameKey(b.name)] = &b;
    }
};

} // namespace

const Builtin* findBuiltin(std::u16string_view name) {
    static const Registry registry; // immutable after construction: safe to share between hosts
    auto it = registry.map.find(nameKey(name));
    return it == registry.map.end() ? nullptr : it->second;
}

std::u16string typeNameOf(const Variant& v) {
    switch (v.type()) {
    case VarType::Empty:
        return u"Empty";
    case VarType::Null:
        return u"Null";
    case VarType::Integer:
        return u"Integer";
    case VarType::Long:
        return u"Long";
    case VarType::Single:
        return u"Single";
    case VarType::Double:
        return u"Double";
    case VarType::Currency:
        return u"Currency";
    case VarType::Date:
        return u"Date";
    case VarType::String:
        return u"String";
    case VarType::Boolean:
        return u"Boolean";
    case VarType::Byte:
        return u"Byte";
    case VarType::Error:
        return u"Error";
    case VarType::Array:
        return u"Variant()";
    case VarType::Object:
        return v.object() ? v.object()->typeName() : u"Nothing";
    default:
        return u"Unknown";
    }
}

} // namespace vbscript::detail
