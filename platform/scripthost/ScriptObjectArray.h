#pragma once
// An array of controls as scripts know it: `textinput(1).Text` reaches element 1; elements need not be
// contiguous (element 0 is often a hidden template). Does not own its elements; a destroyed one is gone.

#include <QObject>
#include <QPointer>

#include <map>

namespace qz {

class ScriptObjectArray : public QObject {
    Q_OBJECT
    Q_CLASSINFO("DefaultMember", "Item")
    Q_CLASSINFO("EnumerateMember", "Elements")

public:
    explicit ScriptObjectArray(QObject* parent = nullptr);

    // Puts `element` at `index`, replacing what was there; a null element removes the index.
    void setElement(int index, QObject* element);
    QObject* element(int index) const;

    // The element at `index`; a missing one fails as "Control array element 'n' doesn't exist" (340).
    Q_INVOKABLE QObject* Item(int index) const;
    Q_INVOKABLE int Count() const;
    // The lowest and highest index in use; 0 and -1 while the array is empty.
    Q_INVOKABLE int LBound() const;
    Q_INVOKABLE int UBound() const;
    // The elements in index order, for For Each.
    Q_INVOKABLE QObjectList Elements() const;

private:
    void prune() const;

    mutable std::map<int, QPointer<QObject>> elements_;
};

} // namespace qz
