#include "Objects.h"

#include <unordered_map>

#include "lib/CharCase.h"
#include "lib/LibError.h"
#include "lib/NumberFormat.h"
#include "lib/Regex.h"
#include "vbscript/ScriptError.h"

namespace vbscript::detail {

int NamedMemberObject::findMember(std::u16string_view name) {
    auto names = memberNames();
    for (size_t i = 0; i < names.size(); ++i)
        if (namesEqual(name, names[i])) return static_cast<int>(i) + 1;
    return kNoMember;
}

namespace {

void argCount(const CallArgs& a, size_t lo, size_t hi) {
    if (a.size() < lo || a.size() > hi) throw ScriptError(450);
}

Variant plain(const Variant& v) {
    Variant tmp;
    return Variant(valueOf(v, tmp));
}

// ---- Err ----

class ErrObject : public NamedMemberObject {
public:
    explicit ErrObject(Interp* i) : in_(i), token_(i->alive) {}
    enum { Number = 1, Description, Source, HelpFile, HelpContext, Raise, Clear };
    std::span<const char16_t* const> memberNames() const override {
        static const char16_t* const names[] = {u"Number",      u"Description", u"Source", u"HelpFile",
                                                u"HelpContext", u"Raise",       u"Clear"};
        return names;
    }
    std::u16string typeName() const override { return u"Object"; }
    int defaultMember() const override { return Number; }
    Variant invoke(int id, InvokeKind kind, const CallArgs& a) override {
        if (!*token_) throw ScriptError(424); // kept by a host after its interpreter was reset
        ErrState& e = in_->err;
        bool put = kind == InvokeKind::Let || kind == InvokeKind::Set;
        switch (id) {
        case Number:
            if (put) {
                e.number = a[a.size() - 1].toLong();
                return {};
            }
            argCount(a, 0, 0);
            return Variant::fromLong(e.number);
        case Description:
            if (put) {
                e.description = a[a.size() - 1].toString();
                return {};
            }
            return Variant(e.description);
        case Source:
            if (put) {
                e.source = a[a.size() - 1].toString();
                return {};
            }
            return Variant(e.source);
        case HelpFile:
            if (put) {
                e.helpFile = a[a.size() - 1].toString();
                return {};
            }
            return Variant(e.helpFile);
        case HelpContext:
            if (put) {
                e.helpContext = a[a.size() - 1].toLong();
                return {};
            }
            return Variant::fromLong(e.helpContext);
        case Raise: {
            argCount(a, 1, 5);
            Variant n = plain(a[0]);
            if (n.isNull()) throw ScriptError(94);
            int32_t number = n.toLong();
            // Positive numbers above 16 bits are neither runtime errors nor HRESULTs.
            if (number == 0 || number > 0xFFFF) throw ScriptError(5);
            // VBScript's own facility and a few system codes map to their runtime error numbers.
            if ((static_cast<uint32_t>(number) & 0xFFFF0000u) == 0x800A0000u)
                number &= 0xFFFF;
            else if (static_cast<uint32_t>(number) == 0x8007000Eu)
                number = 7;
            else if (static_cast<uint32_t>(number) == 0x80070057u)
                number = 5;
            // Parts not given keep the values of an error still pending, as Err does.
            bool pending = e.number != 0;
            auto given = [&](size_t i) { return a.size() > i && !a[i].isEmpty(); };
            std::u16string src = given(1) ? a[1].toString() : pending ? e.source : std::u16string();
            std::u16string desc = given(2) ? a[2].toString() : pending ? e.description : std::u16string();
            if (desc.empty()) desc = errorDescription(number);
            ScriptError err(number, desc, src);
            err.helpFile = given(3) ? a[3].toString() : pending ? e.helpFile : std::u16string();
            err.helpContext = given(4) ? a[4].toLong() : pending ? e.helpContext : 0;
            throw err;
        }
        case Clear:
            in_->clearErr();
            return {};
        }
        throw ScriptError(438);
    }

private:
    Interp* in_;
    std::shared_ptr<Interp*> token_;
};

// ---- Dictionary ----

class Dictionary : public NamedMemberObject {
public:
    enum { Add = 1, Exists, Items, Keys, Remove, RemoveAll, Count, Item, Key, CompareMode, HashVal };
    std::span<const char16_t* const> memberNames() const override {
        static const char16_t* const names[] = {u"Add",    u"Exists",      u"Items",  u"Keys",
                                                u"Remove", u"RemoveAll",   u"Count",  u"Item",
                                                u"Key",    u"CompareMode", u"HashVal"};
        return names;
    }
    std::u16string typeName() const override { return u"Dictionary"; }

    int defaultMember() const override { return Item; }
    Variant invoke(int id, InvokeKind kind, const CallArgs& a) override {
        bool put = kind == InvokeKind::Let || kind == InvokeKind::Set;
        switch (id) {
        case Add: {
            argCount(a, 2, 2);
            Variant k = keyOf(a[0]);
            auto h = hashKey(k);
            if (index_.count(h)) throw ScriptError(457);
            insert(std::move(h), k, a[1]);
            return {};
        }
        case Exists:
            argCount(a, 1, 1);
            return Variant(index_.count(hashKey(keyOf(a[0]))) > 0);
        case Items: {
            std::vector<Variant> v;
            for (auto& e : entries_)
                v.push_back(e.second);
            return Variant::fromVector(std::move(v));
        }
        case Keys: {
            std::vector<Variant> v;
            for (auto& e : entries_)
                v.push_back(e.first);
            return Variant::fromVector(std::move(v));
        }
        case Remove: {
            argCount(a, 1, 1);
            auto it = index_.find(hashKey(keyOf(a[0])));
            if (it == index_.end()) throw ScriptError(32811);
            entries_.erase(entries_.begin() + static_cast<long>(it->second));
            rebuild();
            return {};
        }
        case RemoveAll:
            entries_.clear();
            index_.clear();
            return {};
        case Count:
            return Variant::fromLong(static_cast<int32_t>(entries_.size()));
        case Item: {
            if (put) {
                argCount(a, 2, 2);
                if (kind == InvokeKind::Set && !a[1].isObject()) throw ScriptError(424);
                Variant k = keyOf(a[0]);
                auto h = hashKey(k);
                auto it = index_.find(h);
                if (it == index_.end()) {
                    insert(std::move(h), k, a[1]);
                } else {
                    entries_[it->second].second = a[1];
                }
                return {};
            }
            argCount(a, 1, 1);
            Variant k = keyOf(a[0]);
            auto h = hashKey(k);
            auto it = index_.find(h);
            if (it == index_.end()) {
                // Reading a missing key adds it with an Empty item, as the Dictionary does.
                insert(std::move(h), k, Variant());
                return {};
            }
            return entries_[it->second].second;
        }
        case Key: {
            if (!put) throw ScriptError(438);
            argCount(a, 2, 2);
            auto it = index_.find(hashKey(keyOf(a[0])));
            if (it == index_.end()) throw ScriptError(32811);
            Variant nk = keyOf(a[1]);
            if (index_.count(hashKey(nk))) throw ScriptError(457);
            entries_[it->second].first = nk;
            rebuild();
            return {};
        }
        case CompareMode:
            if (put) {
                if (!entries_.empty()) throw ScriptError(5);
                int m = a[a.size() - 1].toLong();
                if (m < 0) throw ScriptError(5);
                textMode_ = m == 1;
                return {};
            }
            return Variant::fromLong(textMode_ ? 1 : 0);
        case HashVal: {
            argCount(a, 1, 1);
            auto h = hashKey(keyOf(a[0]));
            uint32_t x = 0;
            for (char16_t c : h)
                x = x * 31 + c;
            return Variant::fromLong(static_cast<int32_t>(x % 1201));
        }
        }
        throw ScriptError(438);
    }

    std::unique_ptr<Enumerator> enumerate() override {
        struct E : Enumerator {
            std::vector<Variant> keys;
            size_t i = 0;
            bool next(Variant& out) override {
                if (i >= keys.size()) return false;
                out = keys[i++];
                return true;
            }
        };
        auto e = std::make_unique<E>();
        for (auto& en : entries_)
            e->keys.push_back(en.first);
        return e;
    }

    bool holdsPlainData() const override {
        for (const auto& [key, item] : entries_)
            if ((key.isObject() && key.object()) || !isPlainData(item)) return false;
        return true;
    }

    void countMemory(MemoryCount& count) const override {
        count.add(entries_.capacity() * sizeof(Entry) + index_.size() * kIndexNode);
        for (const auto& [hash, at] : index_)
            count.add(heapBytes(hash));
        for (const auto& [key, item] : entries_) {
            count.value(key);
            count.value(item);
        }
    }

private:
    using Entry = std::pair<Variant, Variant>;
    // A node of the index, besides its key's text.
    static constexpr size_t kIndexNode = 64;

    void insert(std::u16string hash, const Variant& key, const Variant& item) {
        chargeMemory(sizeof(Entry) + kIndexNode + heapBytes(hash));
        index_[std::move(hash)] = entries_.size();
        entries_.push_back({key, item});
    }

    static Variant keyOf(const Variant& v) {
        if (v.isArray()) throw ScriptError(13);
        if (v.isObject()) return v;
        return v;
    }
    std::u16string hashKey(const Variant& k) const {
        switch (k.type()) {
        case VarType::String:
            return u"s" + (textMode_ ? lib::toUpper(k.string()) : k.string());
        case VarType::Object: {
            std::string p = std::to_string(reinterpret_cast<uintptr_t>(k.object().get()));
            return u"o" + std::u16string(p.begin(), p.end());
        }
        case VarType::Empty:
            return u"e";
        case VarType::Null:
            return u"z";
        default: {
            std::u16string s = lib::doubleToString(k.toDouble());
            return u"n" + s;
        }
        }
    }
    void rebuild() {
        index_.clear();
        for (size_t i = 0; i < entries_.size(); ++i)
            index_[hashKey(entries_[i].first)] = i;
    }

    std::vector<std::pair<Variant, Variant>> entries_;
    std::unordered_map<std::u16string, size_t> index_;
    bool textMode_ = false;
};

// ---- RegExp ----

class SubMatches : public NamedMemberObject {
public:
    std::vector<Variant> items;
    enum { Item = 1, Count };
    std::span<const char16_t* const> memberNames() const override {
        static const char16_t* const names[] = {u"Item", u"Count"};
        return names;
    }
    std::u16string typeName() const override { return u"ISubMatches"; }
    int defaultMember() const override { return Item; }
    Variant invoke(int id, InvokeKind kind, const CallArgs& a) override {
        if (kind == InvokeKind::Let || kind == InvokeKind::Set) throw ScriptError(438);
        if (id == Count) return Variant::fromLong(static_cast<int32_t>(items.size()));
        argCount(a, 1, 1);
        int32_t i = a[0].toLong();
        if (i < 0 || i >= static_cast<int32_t>(items.size())) throw ScriptError(5);
        return items[static_cast<size_t>(i)];
    }
    std::unique_ptr<Enumerator> enumerate() override;
};

struct VectorEnumerator : Enumerator {
    std::vector<Variant> items;
    size_t i = 0;
    bool next(Variant& out) override {
        if (i >= items.size()) return false;
        out = items[i++];
        return true;
    }
};

std::unique_ptr<Enumerator> SubMatches::enumerate() {
    auto e = std::make_unique<VectorEnumerator>();
    e->items = items;
    return e;
}

class MatchObject : public NamedMemberObject {
public:
    std::u16string value;
    int32_t firstIndex = 0;
    std::shared_ptr<SubMatches> subMatches = std::make_shared<SubMatches>();
    enum { Value = 1, FirstIndex, Length, SubMatchesId };
    std::span<const char16_t* const> memberNames() const override {
        static const char16_t* const names[] = {u"Value", u"FirstIndex", u"Length", u"SubMatches"};
        return names;
    }
    std::u16string typeName() const override { return u"IMatch2"; }
    int defaultMember() const override { return Value; }
    Variant invoke(int id, InvokeKind kind, const CallArgs& a) override {
        if (kind == InvokeKind::Let || kind == InvokeKind::Set) throw ScriptError(438);
        if (id == SubMatchesId && a.size() > 0) return invokeDefault(*subMatches, kind, a);
        if (id != Value && a.size() > 0) throw ScriptError(450);
        switch (id) {
        case Value:
            if (a.size() > 0) throw ScriptError(450);
            return Variant(value);
        case FirstIndex:
            return Variant::fromLong(firstIndex);
        case Length:
            return Variant::fromLong(static_cast<int32_t>(value.size()));
        case SubMatchesId:
            return Variant(std::static_pointer_cast<HostObject>(subMatches));
        }
        throw ScriptError(438);
    }
};

class MatchCollection : public NamedMemberObject {
public:
    std::vector<Variant> items;
    enum { Item = 1, Count };
    std::span<const char16_t* const> memberNames() const override {
        static const char16_t* const names[] = {u"Item", u"Count"};
        return names;
    }
    std::u16string typeName() const override { return u"IMatchCollection2"; }
    int defaultMember() const override { return Item; }
    Variant invoke(int id, InvokeKind kind, const CallArgs& a) override {
        if (kind == InvokeKind::Let || kind == InvokeKind::Set) throw ScriptError(438);
        if (id == Count) {
            if (a.size() > 0) throw ScriptError(450);
            return Variant::fromLong(static_cast<int32_t>(items.size()));
        }
        argCount(a, 1, 1);
        int32_t i = a[0].toLong();
        if (i < 0 || i >= static_cast<int32_t>(items.size())) throw ScriptError(5);
        return items[static_cast<size_t>(i)];
    }
    std::unique_ptr<Enumerator> enumerate() override {
        auto e = std::make_unique<VectorEnumerator>();
        e->items = items;
        return e;
    }
};

class RegExpObject : public NamedMemberObject {
public:
    explicit RegExpObject(Interp* i) : token_(i->alive) {}
    enum { Pattern = 1, IgnoreCase, Global, Multiline, Test, Execute, Replace };
    std::span<const char16_t* const> memberNames() const override {
        static const char16_t* const names[] = {u"Pattern", u"IgnoreCase", u"Global", u"Multiline",
                                                u"Test",    u"Execute",    u"Replace"};
        return names;
    }
    std::u16string typeName() const override { return u"IRegExp2"; }

    int defaultMember() const override { return Pattern; }
    Variant invoke(int id, InvokeKind kind, const CallArgs& a) override {
        bool put = kind == InvokeKind::Let || kind == InvokeKind::Set;
        try {
            switch (id) {
            case Pattern:
                if (put) {
                    pattern_ = a[a.size() - 1].toString();
                    compiled_.reset();
                    return {};
                }
                return Variant(pattern_);
            case IgnoreCase:
                if (put) {
                    ignoreCase_ = a[a.size() - 1].toBool();
                    compiled_.reset();
                    return {};
                }
                return Variant(ignoreCase_);
            case Global:
                if (put) {
                    global_ = a[a.size() - 1].toBool();
                    return {};
                }
                return Variant(global_);
            case Multiline:
                if (put) {
                    multiline_ = a[a.size() - 1].toBool();
                    compiled_.reset();
                    return {};
                }
                return Variant(multiline_);
            case Test: {
                argCount(a, 1, 1);
                std::u16string s = text(a[0]);
                return Variant(regex().search(s, 0, poll()).has_value());
            }
            case Execute: {
                argCount(a, 1, 1);
                std::u16string s = text(a[0]);
                auto coll = std::make_shared<MatchCollection>();
                for (const auto& m : regex().searchAll(s, global_, poll())) {
                    auto mo = std::make_shared<MatchObject>();
                    mo->value = s.substr(m.start, m.length);
                    mo->firstIndex = static_cast<int32_t>(m.start);
                    for (const auto& g : m.groups) {
                        if (g)
                            mo->subMatches->items.push_back(Variant(s.substr(g->start, g->length)));
                        else
                            mo->subMatches->items.push_back(Variant());
                    }
                    coll->items.push_back(Variant(std::static_pointer_cast<HostObject>(mo)));
                }
                return Variant(std::static_pointer_cast<HostObject>(coll));
            }
            case Replace: {
                argCount(a, 2, 2);
                std::u16string s = text(a[0]);
                std::u16string r = text(a[1]);
                return Variant(regex().replace(s, r, global_, poll()));
            }
            }
        } catch (const lib::LibError& e) {
            throw ScriptError(e.number);
        }
        throw ScriptError(438);
    }

private:
    static std::u16string text(const Variant& v) {
        Variant tmp;
        const Variant& x = valueOf(v, tmp);
        if (x.isNull()) return {};
        // Like a COM conversion, not CStr: True becomes "-1".
        if (x.type() == VarType::Boolean) return x.boolean() ? u"-1" : u"0";
        return x.toString();
    }
    const lib::Regex& regex() {
        if (!compiled_)
            compiled_ = std::make_unique<lib::Regex>(pattern_, lib::RegexFlags{ignoreCase_, multiline_});
        return *compiled_;
    }
    // A long search stops at the script's time-out like any other work; after a reset it runs to its own
    // step budget only.
    lib::Regex::Poll poll() const {
        return [token = token_] {
            if (*token) (*token)->poll();
        };
    }
    std::shared_ptr<Interp*> token_;
    std::u16string pattern_;
    bool ignoreCase_ = false, global_ = false, multiline_ = false;
    std::unique_ptr<lib::Regex> compiled_;
};

} // namespace

std::shared_ptr<HostObject> makeErrObject(Interp* in) {
    return std::make_shared<ErrObject>(in);
}
std::shared_ptr<HostObject> makeDictionary() {
    return std::make_shared<Dictionary>();
}
std::shared_ptr<HostObject> makeRegExp(Interp* in) {
    return std::make_shared<RegExpObject>(in);
}

std::shared_ptr<HostObject> Interp::newBuiltinObject(std::u16string_view name) {
    if (namesEqual(name, u"RegExp")) return makeRegExp(this);
    return nullptr;
}

} // namespace vbscript::detail
