#include "platform/scripthost/ScriptObjectArray.h"

#include "platform/scripthost/ScriptText.h"

#include "vbscript/ScriptError.h"

namespace qz {

ScriptObjectArray::ScriptObjectArray(QObject* parent) : QObject(parent) {}

void ScriptObjectArray::setElement(int index, QObject* element) {
    if (element)
        elements_[index] = element;
    else
        elements_.erase(index);
}

QObject* ScriptObjectArray::element(int index) const {
    const auto it = elements_.find(index);
    return it == elements_.end() ? nullptr : it->second.data();
}

QObject* ScriptObjectArray::Item(int index) const {
    if (QObject* found = element(index)) return found;
    throw vbscript::ScriptError(
        340, toScriptText(QStringLiteral("Control array element '%1' doesn't exist").arg(index)));
}

int ScriptObjectArray::Count() const {
    prune();
    return int(elements_.size());
}

int ScriptObjectArray::LBound() const {
    prune();
    return elements_.empty() ? 0 : elements_.begin()->first;
}

int ScriptObjectArray::UBound() const {
    prune();
    return elements_.empty() ? -1 : elements_.rbegin()->first;
}

QObjectList ScriptObjectArray::Elements() const {
    prune();
    QObjectList list;
    for (const auto& [index, element] : elements_)
        list.append(element.data());
    return list;
}

void ScriptObjectArray::prune() const {
    std::erase_if(elements_, [](const auto& entry) { return entry.second.isNull(); });
}

} // namespace qz
