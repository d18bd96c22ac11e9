#include "platform/scripthost/ScriptQObject.h"

#include "platform/scripthost/ScriptText.h"

#include "vbscript/ScriptError.h"

#include <QDateTime>
#include <QHash>
#include <QStringList>

#include <cmath>
#include <limits>
#include <mutex>

namespace qz {

using vbscript::CallArgs;
using vbscript::InvokeKind;
using vbscript::ScriptError;
using vbscript::Variant;

namespace {

constexpr int kInvalidCall = 5;
constexpr int kOverflow = 6;
constexpr int kSubscriptOutOfRange = 9;
constexpr int kTypeMismatch = 13;
constexpr int kObjectRequired = 424;
constexpr int kNotSupported = 438;
constexpr int kWrongArguments = 450;

const QDate kOleEpoch(1899, 12, 30);

// OLE dates count days from 1899-12-30; before it the whole part goes back but the time still counts up.
double toOleDate(const QDateTime& dt) {
    const double days = double(kOleEpoch.daysTo(dt.date()));
    const double fraction = dt.time().msecsSinceStartOfDay() / 86400000.0;
    return days >= 0 ? days + fraction : days - fraction;
}

QDateTime fromOleDate(double ole) {
    const double days = std::trunc(ole);
    const qint64 msecs = std::llround(std::fabs(ole - days) * 86400000.0);
    return QDateTime(kOleEpoch.addDays(qint64(days)), QTime::fromMSecsSinceStartOfDay(0)).addMSecs(msecs);
}

// Whole numbers from a script value the way VBScript rounds them for a Long: halves to even.
qint64 toWhole(const Variant& v, double lo, double hi) {
    const double d = std::nearbyint(v.toDouble());
    if (!(d >= lo && d <= hi)) throw ScriptError(kOverflow);
    return qint64(d);
}

Variant arrayOf(const QVariantList& list) {
    std::vector<Variant> items;
    items.reserve(size_t(list.size()));
    for (const QVariant& v : list)
        items.push_back(toScriptValue(v));
    return Variant::fromVector(std::move(items));
}

QVariantList listOf(const Variant& value) {
    QVariantList list;
    if (!value.isArray()) {
        list.append(toQVariant(value));
        return list;
    }
    for (const Variant& item : value.array().items)
        list.append(toQVariant(item));
    return list;
}

struct Parameter {
    QMetaType type;
    bool out = false; // a non-const reference: what the method leaves there goes back to the caller
};

Parameter parameterOf(const QMetaMethod& method, int i) {
    const QMetaType type = method.parameterMetaType(i);
    if (type.isValid()) return {type, false};
    // Reference parameters carry no meta-type of their own; the type is the name without "&".
    QByteArray name = method.parameterTypeName(i);
    const bool reference = name.endsWith('&');
    if (reference) name.chop(1);
    const bool isConst = name.startsWith("const ");
    if (isConst) name.remove(0, 6);
    const QMetaType named = QMetaType::fromName(name);
    if (!named.isValid())
        throw ScriptError(kTypeMismatch,
                          toScriptText(QStringLiteral("A parameter of type %1 cannot be passed from a script")
                                           .arg(QString::fromLatin1(method.parameterTypeName(i)))));
    return {named, reference && !isConst};
}

Variant callDefault(const Variant& target, InvokeKind kind, const CallArgs& args) {
    if (!target.object()) throw ScriptError(kObjectRequired);
    return vbscript::invokeDefault(*target.object(), kind, args);
}

} // namespace

Variant toScriptValue(const QVariant& value) {
    if (!value.isValid()) return {};
    const QMetaType type = value.metaType();
    if (type.flags() & QMetaType::PointerToQObject)
        return Variant(std::shared_ptr<vbscript::HostObject>(
            ScriptQObject::wrap(*static_cast<QObject* const*>(value.constData()))));
    switch (type.id()) {
    case QMetaType::Bool:
        return Variant(value.toBool());
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return Variant::fromLong(value.toInt());
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: {
        const double d = value.toDouble();
        if (d >= std::numeric_limits<int32_t>::min() && d <= std::numeric_limits<int32_t>::max())
            return Variant::fromLong(int32_t(value.toLongLong()));
        return Variant::fromDouble(d);
    }
    case QMetaType::Float:
        return Variant::fromSingle(value.toFloat());
    case QMetaType::Double:
        return Variant::fromDouble(value.toDouble());
    case QMetaType::QString:
        return Variant(toScriptText(value.toString()));
    case QMetaType::QChar:
        return Variant(toScriptText(QString(value.toChar())));
    case QMetaType::QByteArray:
        return Variant(toScriptText(QString::fromUtf8(value.toByteArray())));
    case QMetaType::QStringList: {
        QVariantList list;
        for (const QString& s : value.toStringList())
            list.append(s);
        return arrayOf(list);
    }
    case QMetaType::QVariantList:
        return arrayOf(value.toList());
    case QMetaType::QDateTime:
        return Variant::fromDate(toOleDate(value.toDateTime()));
    case QMetaType::QDate:
        return Variant::fromDate(double(kOleEpoch.daysTo(value.toDate())));
    case QMetaType::QTime:
        return Variant::fromDate(value.toTime().msecsSinceStartOfDay() / 86400000.0);
    case QMetaType::Nullptr:
        return Variant::null();
    case QMetaType::QVariant:
        return toScriptValue(value.value<QVariant>());
    default:
        break;
    }
    // Other lists (QObjectList, QList<int>, ...) are arrays too.
    if (value.canConvert<QVariantList>()) return arrayOf(value.value<QVariantList>());
    if (value.canConvert<QString>()) return Variant(toScriptText(value.toString()));
    return {};
}

QVariant toQVariant(const Variant& value) {
    switch (value.type()) {
    case vbscript::VarType::Empty:
        return {};
    case vbscript::VarType::Null:
        return QVariant::fromValue(nullptr);
    case vbscript::VarType::Boolean:
        return value.boolean();
    case vbscript::VarType::Byte:
        return int(value.byteValue());
    case vbscript::VarType::Integer:
        return int(value.integer());
    case vbscript::VarType::Long:
        return int(value.longValue());
    case vbscript::VarType::Single:
        return value.single();
    case vbscript::VarType::Double:
        return value.dbl();
    case vbscript::VarType::Currency:
        return double(value.currency()) / 10000.0;
    case vbscript::VarType::Date:
        return fromOleDate(value.date());
    case vbscript::VarType::String:
        return fromScriptText(value.string());
    case vbscript::VarType::Error:
        return int(value.errorCode());
    case vbscript::VarType::Object:
        if (QObject* object = ScriptQObject::unwrap(value)) return QVariant::fromValue(object);
        return {};
    default:
        break;
    }
    if (value.isArray()) return listOf(value);
    return {};
}

QVariant toQVariant(const Variant& value, QMetaType type) {
    if (type.flags() & QMetaType::PointerToQObject) {
        QObject* object = nullptr;
        if (value.isObject()) {
            object = ScriptQObject::unwrap(value);
            if (value.object() && !object) throw ScriptError(kTypeMismatch);
        } else if (!value.isEmpty()) {
            throw ScriptError(kObjectRequired);
        }
        if (object && type.metaObject() && !object->metaObject()->inherits(type.metaObject()))
            throw ScriptError(kTypeMismatch);
        return QVariant(type, &object);
    }
    switch (type.id()) {
    case QMetaType::QVariant:
        return toQVariant(value);
    case QMetaType::QString:
        return fromScriptText(value.toString());
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::Int:
        return int(value.toLong());
    case QMetaType::Short:
        return QVariant::fromValue(value.toInteger());
    case QMetaType::UChar:
        return QVariant::fromValue(value.toByte());
    case QMetaType::UInt:
        return QVariant::fromValue(uint(toWhole(value, 0, 4294967295.0)));
    case QMetaType::LongLong:
        return QVariant::fromValue(toWhole(value, -9.2e18, 9.2e18));
    case QMetaType::Float:
        return value.toSingle();
    case QMetaType::Double:
        return value.toDouble();
    case QMetaType::QChar: {
        const QString s = fromScriptText(value.toString());
        return s.isEmpty() ? QChar() : s.at(0);
    }
    case QMetaType::QStringList: {
        QStringList list;
        if (value.isArray()) {
            for (const Variant& item : value.array().items)
                list.append(fromScriptText(item.toString()));
        } else {
            list.append(fromScriptText(value.toString()));
        }
        return list;
    }
    case QMetaType::QVariantList:
        return listOf(value);
    case QMetaType::QDateTime:
        return fromOleDate(value.toDate());
    case QMetaType::QDate:
        return fromOleDate(value.toDate()).date();
    case QMetaType::QTime:
        return fromOleDate(value.toDate()).time();
    default:
        break;
    }
    QVariant natural = toQVariant(value);
    if (!natural.convert(type)) throw ScriptError(kTypeMismatch);
    return natural;
}

int ScriptQObject::MemberTable::find(std::u16string_view name) const {
    for (size_t i = 0; i < members.size(); ++i)
        if (vbscript::namesEqual(members[i].key, name)) return int(i) + 1;
    return kNoMember;
}

std::shared_ptr<const ScriptQObject::MemberTable> ScriptQObject::buildTable(const QMetaObject* meta) {
    auto table = std::make_shared<MemberTable>();
    auto& members = table->members;
    for (int i = QObject::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i) {
        const QString name = QString::fromLatin1(meta->property(i).name());
        if (table->find(toScriptText(name)) == kNoMember)
            members.push_back({name, toScriptText(name), i, {}});
    }
    for (int i = QObject::staticMetaObject.methodCount(); i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        if (method.access() != QMetaMethod::Public ||
            (method.methodType() != QMetaMethod::Method && method.methodType() != QMetaMethod::Slot))
            continue;
        const QString name = QString::fromLatin1(method.name());
        const int id = table->find(toScriptText(name));
        if (id == kNoMember)
            members.push_back({name, toScriptText(name), -1, {method}});
        else if (members[size_t(id - 1)].property < 0)
            members[size_t(id - 1)].methods.push_back(method);
    }
    const auto named = [&](const char* info) {
        const int at = meta->indexOfClassInfo(info);
        return at < 0 ? kNoMember
                      : table->find(toScriptText(QString::fromLatin1(meta->classInfo(at).value())));
    };
    table->defaultMember = named("DefaultMember");
    table->enumerateMember = named("EnumerateMember");
    return table;
}

std::shared_ptr<const ScriptQObject::MemberTable> ScriptQObject::tableFor(const QMetaObject* meta) {
    // Meta-objects live as long as the program, so their tables are built once.
    static std::mutex lock;
    static QHash<const QMetaObject*, std::shared_ptr<const MemberTable>> tables;
    std::lock_guard guard(lock);
    auto& table = tables[meta];
    if (!table) table = buildTable(meta);
    return table;
}

ScriptQObject::ScriptQObject(QObject* object)
    : object_(object),
      table_(object ? tableFor(object->metaObject()) : std::make_shared<const MemberTable>()) {}

std::shared_ptr<ScriptQObject> ScriptQObject::wrap(QObject* object) {
    return object ? std::make_shared<ScriptQObject>(object) : nullptr;
}

QObject* ScriptQObject::unwrap(const Variant& value) {
    if (!value.isObject()) return nullptr;
    const auto* wrapper = dynamic_cast<const ScriptQObject*>(value.object().get());
    return wrapper ? wrapper->object() : nullptr;
}

namespace {

class ListEnumerator : public vbscript::Enumerator {
public:
    explicit ListEnumerator(std::vector<Variant> items) : items_(std::move(items)) {}
    bool next(Variant& out) override {
        if (next_ >= items_.size()) return false;
        out = items_[next_++];
        return true;
    }

private:
    std::vector<Variant> items_;
    size_t next_ = 0;
};

} // namespace

std::unique_ptr<vbscript::Enumerator> ScriptQObject::enumerate() {
    if (!object_ || table_->enumerateMember == kNoMember) return nullptr;
    const Variant list = invoke(table_->enumerateMember, InvokeKind::Get, {});
    if (!list.isArray()) return nullptr;
    return std::make_unique<ListEnumerator>(list.array().items);
}

int ScriptQObject::findMember(std::u16string_view name) {
    return table_->find(name);
}

int ScriptQObject::defaultMember() const {
    return table_->defaultMember;
}

std::u16string ScriptQObject::typeName() const {
    if (!object_) return u"Nothing";
    QString name = QString::fromLatin1(object_->metaObject()->className());
    return toScriptText(name.mid(name.lastIndexOf(QLatin1String("::")) + 1).remove(QLatin1Char(':')));
}

Variant ScriptQObject::invoke(int memberId, InvokeKind kind, const CallArgs& args) {
    if (!object_) throw ScriptError(kObjectRequired, u"The object no longer exists");
    if (memberId < 1 || size_t(memberId) > table_->members.size()) throw ScriptError(kNotSupported);
    try {
        return invokeMember(table_->members[size_t(memberId - 1)], kind, args);
    } catch (const ScriptError&) {
        throw;
    } catch (const vbscript::ScriptStopped&) {
        // A member that gave up because the script's time is up: the run ends, On Error cannot keep it.
        throw;
    } catch (const std::out_of_range& e) {
        throw ScriptError(kSubscriptOutOfRange, toScriptText(QString::fromUtf8(e.what())));
    } catch (const std::exception& e) {
        throw ScriptError(kInvalidCall, toScriptText(QString::fromUtf8(e.what())));
    }
}

Variant ScriptQObject::invokeMember(const Member& member, InvokeKind kind, const CallArgs& args) {
    if (member.property < 0) {
        if (kind != InvokeKind::Let && kind != InvokeKind::Set) return callMethod(member, args);
        // `textinput(1) = "x"`: the method's result takes the value through its default member.
        if (args.size() == 0) throw ScriptError(kNotSupported);
        const size_t indexes = args.size() - 1;
        const Variant holder = callMethod(member, CallArgs{args.values.first(indexes), args.byRefMask});
        if (!holder.isObject()) throw ScriptError(kNotSupported);
        return callDefault(holder, kind,
                           CallArgs{args.values.last(1), indexes < 64 ? args.byRefMask >> indexes : 0});
    }
    if (kind == InvokeKind::Get || kind == InvokeKind::Call) return readProperty(member, kind, args);

    // Assignment: the value comes last; indexes before it go to what the property holds.
    if (args.size() == 0) throw ScriptError(kWrongArguments);
    if (args.size() > 1) {
        Variant holder = readProperty(member, InvokeKind::Get, {});
        return callDefault(holder, kind, args);
    }
    const QMetaProperty property = object_->metaObject()->property(member.property);
    if (!property.isWritable())
        throw ScriptError(kWrongArguments,
                          toScriptText(QStringLiteral("The property %1 cannot be changed").arg(member.name)));
    if (!property.write(object_, toQVariant(args[0], property.metaType()))) throw ScriptError(kTypeMismatch);
    return {};
}

Variant ScriptQObject::readProperty(const Member& member, InvokeKind kind, const CallArgs& args) {
    const QMetaProperty property = object_->metaObject()->property(member.property);
    Variant value = toScriptValue(property.read(object_));
    if (args.size() == 0) return value;
    if (value.isArray()) {
        if (args.size() != size_t(value.array().dimensions())) throw ScriptError(kSubscriptOutOfRange);
        std::vector<int32_t> indexes;
        for (size_t i = 0; i < args.size(); ++i)
            indexes.push_back(args[i].toLong());
        Variant* item = value.array().at(indexes.data(), indexes.size());
        if (!item) throw ScriptError(kSubscriptOutOfRange);
        return *item;
    }
    return callDefault(value, kind, args);
}

Variant ScriptQObject::callMethod(const Member& member, const CallArgs& args) {
    const QMetaMethod* method = nullptr;
    for (const QMetaMethod& m : member.methods)
        if (size_t(m.parameterCount()) == args.size()) method = &m;
    if (!method) throw ScriptError(kWrongArguments);

    const size_t count = args.size();
    std::vector<QVariant> values(count);
    std::vector<Parameter> parameters(count);
    std::vector<void*> argv(count + 1, nullptr);
    for (size_t i = 0; i < count; ++i) {
        parameters[i] = parameterOf(*method, int(i));
        const QMetaType type = parameters[i].type;
        values[i] = toQVariant(args[i], type);
        // A QVariant parameter is the QVariant itself; any other type is the value stored in it.
        argv[i + 1] = type.id() == QMetaType::QVariant ? static_cast<void*>(&values[i]) : values[i].data();
    }
    const QMetaType returnType = method->returnMetaType();
    QVariant result;
    if (returnType.isValid() && returnType.id() != QMetaType::Void) {
        if (returnType.id() != QMetaType::QVariant) result = QVariant(returnType);
        argv[0] = returnType.id() == QMetaType::QVariant ? static_cast<void*>(&result) : result.data();
    }

    QMetaObject::metacall(object_, QMetaObject::InvokeMetaMethod, method->methodIndex(), argv.data());

    // Out-parameters: what the method left in a non-const reference goes back to the caller's variable.
    for (size_t i = 0; i < count; ++i)
        if (parameters[i].out && args.isByRef(i)) args[i] = toScriptValue(values[i]);
    return toScriptValue(result);
}

} // namespace qz
