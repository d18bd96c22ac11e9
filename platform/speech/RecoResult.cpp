#include "platform/speech/RecoResult.h"

namespace qz {

namespace {
const PhraseProperty& emptyProperty() {
    static const PhraseProperty empty;
    return empty;
}
} // namespace

bool PhraseProperty::operator==(const PhraseProperty& other) const {
    if (name_ != other.name_ || id_ != other.id_ || value_ != other.value_ ||
        children_.size() != other.children_.size())
        return false;
    for (qsizetype i = 0; i < children_.size(); ++i)
        if (!(children_[i] == other.children_[i])) return false;
    return true;
}

const PhraseProperty& PhraseProperty::Children(int index) const {
    return index >= 0 && index < children_.size() ? children_[index] : emptyProperty();
}

const PhraseProperty& RecoResult::Properties(int index) const {
    return index >= 0 && index < properties_.size() ? properties_[index] : emptyProperty();
}

QString RecoResult::GetText(int startElement, int elements, bool) const {
    if (startElement == 0 && elements < 0) return text_;
    const QStringList words = text_.split(' ', Qt::SkipEmptyParts);
    if (startElement < 0 || startElement >= words.size()) return {};
    return words.mid(startElement, elements < 0 ? -1 : elements).join(' ');
}

} // namespace qz
