#include "editor/DialogControl.h"

#include "platform/window/Twips.h"

#include "vbscript/ScriptError.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace qz {

using vbscript::plugin::ControlDesign;
using vbscript::plugin::ControlKind;
using vbscript::plugin::Rect;

DialogControl::DialogControl(const ControlDesign& design, QWidget* dialog)
    : QObject(dialog), design_(design), place_(design.place), visible_(design.visible) {}

DialogControl::~DialogControl() {
    delete widget_.data();
}

void DialogControl::adopt(QWidget* widget) {
    widget_ = widget;
    widget->setObjectName(designText(design_.name));
    applyPlace();
    widget->setVisible(visible_);
}

void DialogControl::setPlace(const Rect& place) {
    place_ = place;
    applyPlace();
}

void DialogControl::copyFrom(const DialogControl& other) {
    setPlace(other.place_);
    setText(other.text());
    if (widget_ && other.widget_) widget_->setFont(other.widget_->font());
}

void DialogControl::applyPlace() {
    if (!widget_) return;
    const QWidget* dialog = widget_->parentWidget();
    // A size a script made negative shows as nothing; the script still reads back what it wrote.
    widget_->setGeometry(twipsToPixels(place_.left, dialog), twipsToPixels(place_.top, dialog),
                         std::max(0, twipsToPixels(place_.width, dialog)),
                         std::max(0, twipsToPixels(place_.height, dialog)));
}

void DialogControl::setLeft(int twips) {
    place_.left = twips;
    applyPlace();
}
void DialogControl::setTop(int twips) {
    place_.top = twips;
    applyPlace();
}
void DialogControl::setWidth(int twips) {
    place_.width = twips;
    applyPlace();
}
void DialogControl::setHeight(int twips) {
    place_.height = twips;
    applyPlace();
}

void DialogControl::setVisible(bool visible) {
    visible_ = visible;
    if (widget_) widget_->setVisible(visible);
}

// ---- labels ----

LabelControl::LabelControl(const ControlDesign& design, QWidget* dialog) : DialogControl(design, dialog) {
    auto* label = new QLabel(designText(design.text), dialog);
    // Captions read from the top left and wrap within their width, as plugins lay them out.
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    adopt(label);
}

QString LabelControl::text() const {
    auto* label = qobject_cast<QLabel*>(widget());
    return label ? label->text() : QString();
}

void LabelControl::setText(const QString& text) {
    if (auto* label = qobject_cast<QLabel*>(widget())) label->setText(text);
}

// ---- text and path boxes ----

TextBoxControl::TextBoxControl(const ControlDesign& design, QWidget* dialog) : DialogControl(design, dialog) {
    auto* box = new QLineEdit(designText(design.text), dialog);
    box->setMaxLength(32767);
    adopt(box);
}

QString TextBoxControl::text() const {
    auto* box = qobject_cast<QLineEdit*>(widget());
    return box ? box->text() : QString();
}

void TextBoxControl::setText(const QString& text) {
    if (auto* box = qobject_cast<QLineEdit*>(widget())) {
        box->setText(text);
        // Long paths show their beginning, as a freshly filled box does.
        box->setCursorPosition(0);
    }
}

// ---- check boxes ----

CheckBoxControl::CheckBoxControl(const ControlDesign& design, QWidget* dialog)
    : DialogControl(design, dialog) {
    auto* box = new QCheckBox(designText(design.text), dialog);
    adopt(box);
}

QString CheckBoxControl::text() const {
    auto* box = qobject_cast<QCheckBox*>(widget());
    return box ? box->text() : QString();
}

void CheckBoxControl::setText(const QString& text) {
    if (auto* box = qobject_cast<QCheckBox*>(widget())) box->setText(text);
}

void CheckBoxControl::copyFrom(const DialogControl& other) {
    DialogControl::copyFrom(other);
    if (const auto* box = qobject_cast<const CheckBoxControl*>(&other)) setValue(box->Value());
}

int CheckBoxControl::Value() const {
    auto* box = qobject_cast<QCheckBox*>(widget());
    if (!box) return 0;
    switch (box->checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    default:
        return 0;
    }
}

void CheckBoxControl::setValue(int value) {
    if (value < 0 || value > 2)
        throw vbscript::ScriptError(380, u"Invalid property value: a check box is 0, 1 or 2");
    auto* box = qobject_cast<QCheckBox*>(widget());
    if (!box) return;
    // Greyed is for the script to set; a click by the user goes between checked and unchecked.
    box->setTristate(value == 2);
    box->setCheckState(value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
}

// ---- buttons ----

ButtonControl::ButtonControl(const ControlDesign& design, QWidget* dialog) : DialogControl(design, dialog) {
    auto* button = new QPushButton(designText(design.text), dialog);
    button->setAutoDefault(false);
    adopt(button);
}

QString ButtonControl::text() const {
    auto* b = button();
    return b ? b->text() : QString();
}

void ButtonControl::setText(const QString& text) {
    if (auto* b = button()) b->setText(text);
}

QPushButton* ButtonControl::button() const {
    return qobject_cast<QPushButton*>(widget());
}

DialogControl* makeControl(const ControlDesign& design, QWidget* dialog) {
    switch (design.kind) {
    case ControlKind::Label:
        return new LabelControl(design, dialog);
    case ControlKind::TextBox:
    case ControlKind::PathBox:
        return new TextBoxControl(design, dialog);
    case ControlKind::CheckBox:
        return new CheckBoxControl(design, dialog);
    case ControlKind::Button:
        return new ButtonControl(design, dialog);
    }
    return nullptr;
}

} // namespace qz
