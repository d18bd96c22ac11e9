#pragma once
// The settings dialog's controls as plugin scripts reach them: one QObject per control, exposed through the
// script bridge, that keeps its place in twips exactly as the script set it and drives its widget.
// Depends on: Qt Widgets, platform/window (twips), the dialog's design from vbscript/plugin.

#include "vbscript/plugin/SettingsDialogDesign.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>

class QPushButton;
class QWidget;

namespace qz {

class DialogControl : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Left READ Left WRITE setLeft)
    Q_PROPERTY(int Top READ Top WRITE setTop)
    Q_PROPERTY(int Width READ Width WRITE setWidth)
    Q_PROPERTY(int Height READ Height WRITE setHeight)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)
    Q_PROPERTY(QString Tag READ Tag WRITE setTag)

public:
    // Makes the control's widget as a child of `dialog`, laid out as `design` says (hidden until shown).
    DialogControl(const vbscript::plugin::ControlDesign& design, QWidget* dialog);
    ~DialogControl() override;

    const vbscript::plugin::ControlDesign& design() const { return design_; }
    QWidget* widget() const { return widget_; }
    // The place in twips of the dialog's client area.
    vbscript::plugin::Rect place() const { return place_; }
    void setPlace(const vbscript::plugin::Rect& place);
    // Makes this control a copy of `other` (of the same array): place, text or caption, font.
    virtual void copyFrom(const DialogControl& other);
    // Puts the widget where its twips say, at the dialog's current DPI.
    void applyPlace();

    int Left() const { return place_.left; }
    int Top() const { return place_.top; }
    int Width() const { return place_.width; }
    int Height() const { return place_.height; }
    bool Visible() const { return visible_; }
    QString Tag() const { return tag_; }
    void setLeft(int twips);
    void setTop(int twips);
    void setWidth(int twips);
    void setHeight(int twips);
    void setVisible(bool visible);
    void setTag(const QString& tag) { tag_ = tag; }

    // The text of a box, or the caption of a label, check box or button.
    virtual QString text() const = 0;
    virtual void setText(const QString& text) = 0;

protected:
    void adopt(QWidget* widget);
    // The pixel rectangle the widget gets for its place; a label widens and deepens it so that its caption
    // is never cut off, whatever the font.
    virtual QRect shownRect(const QRect& placed) const { return placed; }

private:
    const vbscript::plugin::ControlDesign& design_;
    vbscript::plugin::Rect place_;
    bool visible_;
    QString tag_;
    QPointer<QWidget> widget_;
};

// `Labelthing`: a label.
class LabelControl : public DialogControl {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ text WRITE setText)
    Q_CLASSINFO("DefaultMember", "Caption")
public:
    LabelControl(const vbscript::plugin::ControlDesign& design, QWidget* dialog);
    QString text() const override;
    void setText(const QString& text) override;

protected:
    QRect shownRect(const QRect& placed) const override;
};

// `Textbox` and `bp1`: single-line text boxes.
class TextBoxControl : public DialogControl {
    Q_OBJECT
    Q_PROPERTY(QString Text READ text WRITE setText)
    Q_CLASSINFO("DefaultMember", "Text")
public:
    TextBoxControl(const vbscript::plugin::ControlDesign& design, QWidget* dialog);
    QString text() const override;
    void setText(const QString& text) override;
};

// `Checkbox`: Value 0 unchecked, 1 checked, 2 greyed.
class CheckBoxControl : public DialogControl {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ text WRITE setText)
    Q_PROPERTY(int Value READ Value WRITE setValue)
    Q_CLASSINFO("DefaultMember", "Value")
public:
    CheckBoxControl(const vbscript::plugin::ControlDesign& design, QWidget* dialog);
    QString text() const override;
    void setText(const QString& text) override;
    void copyFrom(const DialogControl& other) override;
    int Value() const;
    // Throws vbscript::ScriptError 380 for anything but 0, 1 and 2.
    void setValue(int value);
};

// `bp2` and `addtobrain`: push buttons.
class ButtonControl : public DialogControl {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ text WRITE setText)
    Q_CLASSINFO("DefaultMember", "Caption")
public:
    ButtonControl(const vbscript::plugin::ControlDesign& design, QWidget* dialog);
    QString text() const override;
    void setText(const QString& text) override;
    // Clicked by the user (or a test clicking it).
    QPushButton* button() const;
};

// A control of the kind `design` says, for the dialog `dialog`.
DialogControl* makeControl(const vbscript::plugin::ControlDesign& design, QWidget* dialog);

// Design texts as Qt strings.
inline QString designText(std::u16string_view text) {
    return QString(reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size()));
}

} // namespace qz
