#include "listview/ListBar.h"

#include "listview/ButtonGlyphs.h"
#include "platform/window/ElidedLabel.h"
#include "platform/window/Twips.h"

#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>

namespace qz {
namespace {

// The design's Tahoma, or the sans font fontconfig finds closest to it.
QFont rowFont(double points) {
    QFont font(QStringLiteral("Tahoma"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setWeight(QFont::Normal);
    return font;
}

QToolButton* imageButton(QWidget* parent, const char* name, const QIcon& icon, const QString& tip) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setIcon(icon);
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setCursor(Qt::PointingHandCursor);
    button->hide();
    return button;
}

} // namespace

const QColor ListBar::kBackground(255, 255, 255);
const QColor ListBar::kSelectedBackground(178, 180, 191);
const QColor ListBar::kActionColour(128, 128, 128);

IconStrip::IconStrip(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("iconia"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void IconStrip::setStrip(const QImage& strip) {
    if (strip.cacheKey() == strip_.cacheKey()) return;
    strip_ = strip;
    update();
}

void IconStrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(rect(), strip_);
}

ListBar::ListBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("listbar"));
    setAutoFillBackground(true);
    setBackground(kBackground);

    picture_ = new QWidget(this);
    picture_->setObjectName(QStringLiteral("Picture1"));
    picture_->setGeometry(twipsRect(75, 90, 330, 330, this));
    picture_->setAttribute(Qt::WA_TransparentForMouseEvents);
    iconia_ = new IconStrip(picture_);
    iconia_->setGeometry(twipsRect(0, 0, 660, 330, this));

    command_ = new ElidedLabel(kDefaultCommand.toString(), this);
    command_->setObjectName(QStringLiteral("command"));
    command_->setFont(rowFont(8.25));
    command_->setGeometry(twipsRect(495, 60, 4065, 195, this));
    // The second line runs to the buttons: the hypothesis and a plugin's settings need the room.
    action_ = new ElidedLabel(kDefaultAction.toString(), this);
    action_->setObjectName(QStringLiteral("action"));
    action_->setFont(rowFont(6.75));
    action_->setGeometry(twipsRect(495, 255, 4065, 165, this));
    for (QLabel* label : {static_cast<QLabel*>(command_), static_cast<QLabel*>(action_)}) {
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    setActionColour(kActionColour);
    // The row's colours are the design's whatever the desktop's theme: dark text on white.
    QPalette ink = command_->palette();
    ink.setColor(QPalette::WindowText, Qt::black);
    command_->setPalette(ink);

    changer_ = imageButton(this, "changer", changeGlyph(), QStringLiteral("Change command"));
    changer_->setGeometry(twipsRect(4580, 60, 210, 210, this));
    remove_ = imageButton(this, "remove", removeGlyph(), QStringLiteral("Delete command"));
    remove_->setGeometry(twipsRect(4830, 60, 210, 210, this));
    for (QToolButton* button : {changer_, remove_})
        button->setIconSize(button->size());
    connect(changer_, &QToolButton::clicked, this, &ListBar::changeClicked);
    connect(remove_, &QToolButton::clicked, this, &ListBar::removeClicked);
}

void ListBar::showContent(int index, const RowContent& content, const QImage& strip) {
    index_ = index;
    command_->setText(content.command);
    action_->setText(content.action);
    iconia_->setStrip(strip);
    updateToolTip();
}

void ListBar::selectit() {
    selected_ = true;
    setBackground(kSelectedBackground);
    iconia_->move(-twipsToPixels(330, this), 0);
    setActionColour(Qt::black);
    const bool buttons = index_ > 2;
    changer_->setVisible(buttons);
    remove_->setVisible(buttons);
}

void ListBar::unselectit() {
    selected_ = false;
    setBackground(kBackground);
    iconia_->move(0, 0);
    changer_->hide();
    remove_->hide();
    setActionColour(kActionColour);
}

void ListBar::subititle(const QString& title) {
    action_->setText(title);
    updateToolTip();
}

QColor ListBar::background() const {
    return palette().color(QPalette::Window);
}

void ListBar::setBackground(const QColor& colour) {
    QPalette p = palette();
    p.setColor(QPalette::Window, colour);
    setPalette(p);
}

void ListBar::setActionColour(const QColor& colour) {
    QPalette p = action_->palette();
    p.setColor(QPalette::WindowText, colour);
    action_->setPalette(p);
}

void ListBar::updateToolTip() {
    // A line cut short by the row's width can still be read whole.
    const bool cut = command_->isElided() || action_->isElided();
    setToolTip(cut ? command_->text() + QLatin1Char('\n') + action_->text() : QString());
}

void ListBar::mousePressEvent(QMouseEvent* event) {
    emit pressed(event->position(), event->button());
}

void ListBar::mouseMoveEvent(QMouseEvent* event) {
    emit moved(event->position(), event->buttons());
}

void ListBar::mouseReleaseEvent(QMouseEvent* event) {
    emit released(event->position());
}

} // namespace qz
