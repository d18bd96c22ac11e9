#include "editor/DialogControl.h"

#include "platform/window/Twips.h"

#include "vbscript/ScriptError.h"

#include <QCheckBox>
#include <QFontMetrics>
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
    if (widget_ && other.widget_) widget_->setFont(other.widget_->font());
    setText(other.text());
    setPlace(other.place_);
}

void DialogControl::applyPlace() {
    if (!widget_) return;
    const QWidget* dialog = widget_->parentWidget();
    // A size a script made negative shows as nothing; the script still reads back what it wrote.
    const QRect placed(twipsToPixels(place_.left, dialog), twipsToPixels(place_.top, dialog),
                       std::max(0, twipsToPixels(place_.width, dialog)),
                       std::max(0, twipsToPixels(place_.height, dialog)));
    widget_->setGeometry(shownRect(placed));
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
    applyPlace();
}

QRect LabelControl::shownRect(const QRect& placed) const {
    auto* label = qobject_cast<QLabel*>(widget());
    if (!label || label->text().isEmpty() || placed.width() == 0 || placed.height() == 0) return placed;
    // Twips were laid out for another font: a caption that does not fit gets the room it needs, first
    // to the right as far as the dialog goes, then below.
    const QFontMetrics metrics(label->font());
    QRect shown = placed;
    const int oneLine = metrics.horizontalAdvance(label->text()) + 1;
    const QWidget* dialog = label->parentWidget();
    const int room = dialog ? dialog->width() - placed.x() : oneLine;
    if (oneLine > shown.width()) shown.setWidth(std::max(shown.width(), std::min(oneLine, room)));
    const int needed = metrics
                           .boundingRect(QRect(0, 0, shown.width(), 1 << 20),
                                         Qt::AlignLeft | Qt::TextWordWrap, label->text())
                           .height();
    if (needed > shown.height()) shown.setHeight(needed);
    return shown;
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
