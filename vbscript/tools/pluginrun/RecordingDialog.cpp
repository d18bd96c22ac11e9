#include "RecordingDialog.h"
#include "ShownText.h"

#include <algorithm>

#include "vbscript/ScriptError.h"

namespace vbscript::pluginrun {

using plugin::ControlDesign;
using plugin::ControlKind;

namespace {

enum ControlMember { Left, Top, Width, Height, Visible, TextOrCaption, Value };

bool hasCaption(ControlKind kind) {
    return kind == ControlKind::Label || kind == ControlKind::CheckBox || kind == ControlKind::Button;
}

const char* kindWords(ControlKind kind) {
    switch (kind) {
    case ControlKind::Label:
        return "label";
    case ControlKind::TextBox:
        return "text box";
    case ControlKind::CheckBox:
        return "check box";
    case ControlKind::PathBox:
        return "path box";
    case ControlKind::Button:
        return "button";
    }
    return "control";
}

Variant lastArgument(const CallArgs& a) {
    if (a.size() != 1) throw ScriptError(450);
    Variant v = a[0];
    return v.isObject() ? Variant(toText(v)) : v;
}

int32_t twips(const Variant& v) {
    // Positions are whole twips; VBScript's own rounding (halves to even) makes them so.
    return v.toLong();
}

} // namespace

RecordingControl::RecordingControl(const ControlDesign& d)
    : design(d), place(d.place), text(d.text), visible(d.visible) {}

int RecordingControl::findMember(std::u16string_view name) {
    if (namesEqual(name, u"Left")) return Left;
    if (namesEqual(name, u"Top")) return Top;
    if (namesEqual(name, u"Width")) return Width;
    if (namesEqual(name, u"Height")) return Height;
    if (namesEqual(name, u"Visible")) return Visible;
    if (namesEqual(name, hasCaption(design.kind) ? u"Caption" : u"Text")) return TextOrCaption;
    if (design.kind == ControlKind::CheckBox && namesEqual(name, u"Value")) return Value;
    return kNoMember;
}

int RecordingControl::defaultMember() const {
    return design.kind == ControlKind::CheckBox ? Value : TextOrCaption;
}

Variant RecordingControl::invoke(int id, InvokeKind kind, const CallArgs& a) {
    const bool put = kind == InvokeKind::Let || kind == InvokeKind::Set;
    int* coordinate = id == Left     ? &place.left
                      : id == Top    ? &place.top
                      : id == Width  ? &place.width
                      : id == Height ? &place.height
                                     : nullptr;
    if (put) {
        Variant v = lastArgument(a);
        if (coordinate) {
            *coordinate = twips(v);
        } else if (id == Visible) {
            visible = v.toBool();
        } else if (id == TextOrCaption) {
            text = toText(v);
        } else if (id == Value) {
            int32_t n = v.toLong();
            if (n < 0 || n > 2) throw ScriptError(380, u"Invalid property value: a check box is 0, 1 or 2");
            value = n;
        } else {
            throw ScriptError(438);
        }
        return {};
    }
    if (a.size() != 0) throw ScriptError(450);
    if (coordinate) return Variant(*coordinate);
    if (id == Visible) return Variant(visible);
    if (id == TextOrCaption) return Variant(text);
    if (id == Value) return Variant(value);
    throw ScriptError(438);
}

std::u16string RecordingControl::typeName() const {
    switch (design.kind) {
    case ControlKind::Label:
        return u"Label";
    case ControlKind::CheckBox:
        return u"CheckBox";
    case ControlKind::Button:
        return u"CommandButton";
    default:
        return u"TextBox";
    }
}

// ---- arrays ----

enum ArrayMember { Item, Count, LBound, UBound };

RecordingArray::RecordingArray(const ControlDesign& d) : design(d) {
    elements[0] = std::make_shared<RecordingControl>(d);
}

std::shared_ptr<RecordingControl> RecordingArray::addElement() {
    auto element = std::make_shared<RecordingControl>(design);
    element->visible = true;
    elements[upperBound() + 1] = element;
    return element;
}

void RecordingArray::removeAddedElements() {
    elements.erase(elements.upper_bound(0), elements.end());
}

int RecordingArray::findMember(std::u16string_view name) {
    if (namesEqual(name, u"Item")) return Item;
    if (namesEqual(name, u"Count")) return Count;
    if (namesEqual(name, u"LBound")) return LBound;
    if (namesEqual(name, u"UBound")) return UBound;
    return kNoMember;
}

Variant RecordingArray::invoke(int id, InvokeKind kind, const CallArgs& a) {
    if (id != Item) {
        if (a.size() != 0 || kind == InvokeKind::Let || kind == InvokeKind::Set) throw ScriptError(450);
        if (id == Count) return Variant(static_cast<int32_t>(elements.size()));
        if (id == LBound) return Variant(elements.begin()->first);
        if (id == UBound) return Variant(upperBound());
        throw ScriptError(438);
    }
    const bool put = kind == InvokeKind::Let || kind == InvokeKind::Set;
    if (a.size() != (put ? 2u : 1u)) throw ScriptError(450);
    const int32_t index = a[0].toLong();
    auto it = elements.find(index);
    if (it == elements.end()) {
        std::string n = std::to_string(index);
        throw ScriptError(340, u"Control array element '" + fromUtf8(n) + u"' doesn't exist");
    }
    if (!put) return Variant(std::shared_ptr<HostObject>(it->second));
    // `textinput(1) = "x"`: the element's own default member takes the value.
    Variant* value[] = {&a[1]};
    return invokeDefault(*it->second, kind, CallArgs{value, 0});
}

std::unique_ptr<Enumerator> RecordingArray::enumerate() {
    struct Walk : Enumerator {
        std::vector<std::shared_ptr<RecordingControl>> items;
        size_t next_ = 0;
        bool next(Variant& out) override {
            if (next_ >= items.size()) return false;
            out = Variant(std::shared_ptr<HostObject>(items[next_++]));
            return true;
        }
    };
    auto walk = std::make_unique<Walk>();
    for (const auto& [index, element] : elements)
        walk->items.push_back(element);
    return walk;
}

// ---- the dialog ----

enum DialogMember {
    TextboxArray,
    LabelthingArray,
    CheckboxArray,
    PathBoxArray,
    BrowseButtonArray,
    Confirm,
    DialogPlugin,
    Caption
};

RecordingDialog::RecordingDialog()
    : textboxes(std::make_shared<RecordingArray>(plugin::kTextbox)),
      labels(std::make_shared<RecordingArray>(plugin::kLabelthing)),
      checkboxes(std::make_shared<RecordingArray>(plugin::kCheckbox)),
      pathBoxes(std::make_shared<RecordingArray>(plugin::kPathBox)),
      browseButtons(std::make_shared<RecordingArray>(plugin::kBrowseButton)),
      confirm(std::make_shared<RecordingControl>(plugin::kConfirmButton)) {}

std::vector<std::shared_ptr<RecordingArray>> RecordingDialog::arrays() const {
    std::vector<std::shared_ptr<RecordingArray>> list;
    for (const ControlDesign* design : plugin::kControlArrays)
        for (const auto& a : {textboxes, labels, checkboxes, pathBoxes, browseButtons})
            if (&a->design == design) list.push_back(a);
    return list;
}

void RecordingDialog::open(const std::u16string& plugin, std::u16string_view confirmCaption) {
    for (const auto& a : arrays())
        a->removeAddedElements();
    made_.clear();
    textboxes->elements[0]->text.clear();
    dialogplugin = plugin;
    confirm->text = std::u16string(confirmCaption);
}

void RecordingDialog::create(std::u16string_view kind) {
    const ControlDesign* design = plugin::arrayForKind(kind);
    if (!design) return;
    for (const auto& a : arrays())
        if (&a->design == design) {
            a->addElement();
            made_.push_back({a.get(), a->upperBound()});
        }
}

void RecordingDialog::attachBrowseButtons() {
    for (const auto& [index, box] : pathBoxes->elements) {
        if (index == 0) continue;
        const plugin::BrowsePlace where = plugin::browsePlaceFor(box->place);
        auto button = browseButtons->addElement();
        button->place = where.button;
        box->place.width = where.boxWidth;
        made_.push_back({browseButtons.get(), browseButtons->upperBound()});
    }
}

std::shared_ptr<RecordingArray> RecordingDialog::arrayNamed(std::u16string_view name) const {
    for (const auto& a : arrays())
        if (namesEqual(name, a->design.name) ||
            (!a->design.scriptName.empty() && namesEqual(name, a->design.scriptName)))
            return a;
    return nullptr;
}

namespace {

void printControl(std::ostream& out, std::u16string_view name, const RecordingControl& c) {
    const plugin::Rect& p = c.place;
    out << toUtf8(name) << " " << kindWords(c.design.kind) << " at " << p.left << ", " << p.top << ", "
        << p.width << " x " << p.height << ": " << scriptLiteral(c.text);
    if (c.design.kind == ControlKind::CheckBox)
        out << (c.value == 1 ? ", checked" : c.value == 2 ? ", grayed" : ", unchecked");
    if (!c.visible) out << " (hidden)";
    if (p.left < 0 || p.top < 0 || p.left + p.width > plugin::kClientWidth ||
        p.top + p.height > plugin::kClientHeight)
        out << " (outside the dialog)";
    out << "\n";
}

std::u16string elementName(const RecordingArray& a, int index) {
    std::u16string_view base = a.design.scriptName.empty() ? a.design.name : a.design.scriptName;
    return std::u16string(base) + u"(" + fromUtf8(std::to_string(index)) + u")";
}

} // namespace

void RecordingDialog::print(std::ostream& out) const {
    out << "dialog " << scriptLiteral(plugin::kDialogCaption) << ", " << plugin::kClientWidth << " x "
        << plugin::kClientHeight << ", for " << toUtf8(dialogplugin) << "\n";
    // The designed controls the dialog shows, top to bottom, then what the script made, in its order.
    std::vector<const RecordingArray*> shown;
    for (const auto& a : arrays())
        if (a->elements.at(0)->visible) shown.push_back(a.get());
    std::sort(shown.begin(), shown.end(), [](const RecordingArray* x, const RecordingArray* y) {
        const plugin::Rect &p = x->elements.at(0)->place, &q = y->elements.at(0)->place;
        return std::pair(p.top, p.left) < std::pair(q.top, q.left);
    });
    for (const RecordingArray* a : shown)
        printControl(out, elementName(*a, 0), *a->elements.at(0));
    for (const auto& [array, index] : made_) {
        auto it = array->elements.find(index);
        if (it != array->elements.end()) printControl(out, elementName(*array, index), *it->second);
    }
    printControl(out, plugin::kConfirmButton.name, *confirm);
}

int RecordingDialog::findMember(std::u16string_view name) {
    static const char16_t* const names[] = {u"Textbox", u"Labelthing", u"Checkbox",     u"bp1",
                                            u"bp2",     u"addtobrain", u"dialogplugin", u"Caption"};
    for (size_t i = 0; i < std::size(names); ++i)
        if (namesEqual(name, names[i])) return static_cast<int>(i);
    return kNoMember;
}

Variant RecordingDialog::invoke(int id, InvokeKind kind, const CallArgs& a) {
    const bool put = kind == InvokeKind::Let || kind == InvokeKind::Set;
    if (id == DialogPlugin) {
        if (put) {
            dialogplugin = toText(lastArgument(a));
            return {};
        }
        return Variant(dialogplugin);
    }
    if (id == Caption) {
        if (put || a.size()) throw ScriptError(450);
        return Variant(plugin::kDialogCaption);
    }
    std::shared_ptr<HostObject> target;
    switch (id) {
    case TextboxArray:
        target = textboxes;
        break;
    case LabelthingArray:
        target = labels;
        break;
    case CheckboxArray:
        target = checkboxes;
        break;
    case PathBoxArray:
        target = pathBoxes;
        break;
    case BrowseButtonArray:
        target = browseButtons;
        break;
    case Confirm:
        target = confirm;
        break;
    default:
        throw ScriptError(438);
    }
    // `dialog.Checkbox(1)`: the array's element; `dialog.Checkbox`: the array itself.
    if (a.size() == 0 && !put) return Variant(target);
    return invokeDefault(*target, kind, a);
}

} // namespace vbscript::pluginrun
