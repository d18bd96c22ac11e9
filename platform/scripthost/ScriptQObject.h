#pragma once
// Exposes a QObject to VBScript through its QMetaObject, with no glue per member.
// Depends on: Qt Core and the vbscript embedding API.
//
// What a script reaches, names compared without regard to case:
// - the class's own Q_PROPERTYs (read, and write unless read-only), with `obj.Prop` / `obj.Prop = x`;
// - its Q_INVOKABLE methods and public slots; overloads (also those that default arguments make) are told
//   apart by the number of arguments;
// - a default member, named by Q_CLASSINFO("DefaultMember", "Item"), reached by `obj(args)` and by `obj` used
//   as a value; `textinput(1).Text` is the default member called with 1, then Text of what it returns, and
//   `textinput(1) = "x"` assigns to the default member of what `textinput(1)` returns;
// - For Each over the list that the member named by Q_CLASSINFO("EnumerateMember", "Elements") returns.
// Members of QObject itself (objectName, deleteLater, ...) are not offered.
//
// Arguments are converted to each parameter's type (QString, int, double, float, bool, qint64, QVariant,
// QStringList, QVariantList, QObject pointers, ...); a value that does not convert is "Type mismatch" (13).
// A parameter of non-const reference type (`QVariant&`, `float&`, `int&`, `QString&`) is an out-parameter:
// what the method leaves in it is written back to the caller's variable when the script passed a variable
// (ByRef, VBScript's default); for an expression the change is dropped.
//
// An invokable fails the call by throwing: vbscript::ScriptError keeps its number and description;
// std::invalid_argument becomes 5 "Invalid procedure call or argument", std::out_of_range 9 "Subscript out
// of range", and any other std::exception 5; in each case what() is the description the script sees
// (Err.Description), catchable with On Error Resume Next.

#include "vbscript/HostObject.h"
#include "vbscript/Variant.h"

#include <QMetaMethod>
#include <QMetaProperty>
#include <QPointer>
#include <QVariant>

#include <memory>
#include <vector>

namespace qz {

class ScriptQObject : public vbscript::HostObject {
public:
    // Does not own `object`; calls after it is destroyed fail with "Object required" (424).
    explicit ScriptQObject(QObject* object);

    // A wrapper for `object`, or null (Nothing) for a null object.
    static std::shared_ptr<ScriptQObject> wrap(QObject* object);
    // The QObject behind a script value, or null when the value is not a wrapped QObject.
    static QObject* unwrap(const vbscript::Variant& value);

    QObject* object() const { return object_; }

    int findMember(std::u16string_view name) override;
    int defaultMember() const override;
    vbscript::Variant invoke(int memberId, vbscript::InvokeKind kind,
                             const vbscript::CallArgs& args) override;
    std::u16string typeName() const override;

    std::unique_ptr<vbscript::Enumerator> enumerate() override;

private:
    // Members as scripts see them, the same for every object of one class.
    struct Member {
        QString name;
        std::u16string key;               // the name, for comparing without regard to case
        int property = -1;                // index in the meta-object, or -1 for a method
        std::vector<QMetaMethod> methods; // the overloads
    };
    struct MemberTable {
        std::vector<Member> members; // member id = position + 1
        int defaultMember = kNoMember;
        int enumerateMember = kNoMember;
        int find(std::u16string_view name) const;
    };

    static std::shared_ptr<const MemberTable> tableFor(const QMetaObject* meta);
    static std::shared_ptr<const MemberTable> buildTable(const QMetaObject* meta);

    vbscript::Variant invokeMember(const Member& member, vbscript::InvokeKind kind,
                                   const vbscript::CallArgs& args);
    vbscript::Variant readProperty(const Member& member, vbscript::InvokeKind kind,
                                   const vbscript::CallArgs& args);
    vbscript::Variant callMethod(const Member& member, const vbscript::CallArgs& args);

    QPointer<QObject> object_;
    std::shared_ptr<const MemberTable> table_;
};

// The script value of a Qt value: numbers, text, dates, lists (as arrays) and QObjects (wrapped).
vbscript::Variant toScriptValue(const QVariant& value);
// The Qt value of a script value by its subtype, with no target type in mind (arrays become QVariantList).
QVariant toQVariant(const vbscript::Variant& value);
// A script value converted by VBScript's rules to `type`; throws vbscript::ScriptError(13) when it cannot be.
QVariant toQVariant(const vbscript::Variant& value, QMetaType type);

} // namespace qz
