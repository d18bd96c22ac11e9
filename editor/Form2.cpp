#include "editor/Form2.h"

#include "editor/DialogScriptObject.h"
#include "platform/scripthost/ScriptObjectArray.h"
#include "platform/window/Twips.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QResizeEvent>

#include <algorithm>
#include <cmath>

namespace qz {

namespace design = vbscript::plugin;
using design::ControlDesign;

namespace {

std::u16string_view viewOf(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size())};
}

} // namespace

Form2::Form2(QWidget* parent)
    : QDialog(parent), clientWidth_(design::kClientWidth), clientHeight_(design::kClientHeight) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(designText(design::kDialogCaption));
    setModal(false);
    // The design's rows are 195 to 345 twips high: text of 8 points fits them at any DPI.
    QFont small = font();
    small.setPointSizeF(8);
    setFont(small);
    resize(twipsToPixels(clientWidth_, this), twipsToPixels(clientHeight_, this));

    // Element 0 of each array, in the design's order, then the confirm button.
    for (const ControlDesign* d : design::kControlArrays) {
        auto* elements = new ScriptObjectArray(this);
        elements->setObjectName(designText(d->name));
        elements->setElement(0, makeControl(*d, this));
        arrays_.push_back({d, elements});
    }
    addtobrain_ = new ButtonControl(design::kConfirmButton, this);
    addtobrain_->button()->setDefault(true);
    // Queued: confirming ends by discarding the dialog, which must not happen inside the button's click.
    connect(addtobrain_->button(), &QPushButton::clicked, this, &Form2::confirmClicked, Qt::QueuedConnection);
    scriptObject_ = new DialogScriptObject(*this);
    orderTabs();
}

Form2::~Form2() = default;

ScriptObjectArray* Form2::array(const ControlDesign& d) const {
    for (const Array& a : arrays_)
        if (a.design == &d) return a.elements;
    return nullptr;
}

DialogControl* Form2::element(const ControlDesign& d, int index) const {
    ScriptObjectArray* a = array(d);
    return a ? qobject_cast<DialogControl*>(a->element(index)) : nullptr;
}

int Form2::upperBound(const ControlDesign& d) const {
    ScriptObjectArray* a = array(d);
    return a ? a->UBound() : -1;
}

QObject* Form2::scriptObject() const {
    return scriptObject_;
}

void Form2::discardScriptObjects() {
    for (const Array& a : arrays_) {
        for (QObject* element : a.elements->Elements())
            delete element;
        delete a.elements;
    }
    arrays_.clear();
    delete addtobrain_;
    addtobrain_ = nullptr;
    delete scriptObject_;
    scriptObject_ = nullptr;
}

void Form2::removeFields() {
    for (const Array& a : arrays_) {
        for (int i = 1, last = a.elements->UBound(); i <= last; ++i) {
            delete a.elements->element(i);
            a.elements->setElement(i, nullptr);
        }
    }
    element(design::kTextbox, 0)->setText(QString());
    orderTabs();
}

DialogControl* Form2::addElement(const ControlDesign& d) {
    ScriptObjectArray* a = array(d);
    DialogControl* model = element(d, 0);
    DialogControl* made = makeControl(d, this);
    made->copyFrom(*model);
    made->setVisible(true);
    a->setElement(a->UBound() + 1, made);
    return made;
}

DialogControl* Form2::create(const QString& kind) {
    const ControlDesign* d = design::arrayForKind(viewOf(kind));
    return d ? addElement(*d) : nullptr;
}

void Form2::attachBrowseButtons() {
    ScriptObjectArray* buttons = array(design::kBrowseButton);
    for (int i = 1, last = upperBound(design::kPathBox); i <= last; ++i) {
        DialogControl* box = element(design::kPathBox, i);
        if (!box) continue;
        const design::BrowsePlace where = design::browsePlaceFor(box->place());
        // Button i belongs to box i: Browse fills the box of its own index.
        delete buttons->element(i);
        auto* button = static_cast<ButtonControl*>(makeControl(design::kBrowseButton, this));
        button->copyFrom(*element(design::kBrowseButton, 0));
        button->setPlace(where.button);
        button->setVisible(true);
        buttons->setElement(i, button);
        box->setWidth(where.boxWidth);
        connectBrowse(button, i);
    }
    orderTabs();
}

void Form2::connectBrowse(ButtonControl* button, int index) {
    connect(
        button->button(), &QPushButton::clicked, this, [this, index] { emit browseClicked(index); },
        Qt::QueuedConnection);
}

void Form2::setClientTwips(int width, int height) {
    clientWidth_ = width;
    clientHeight_ = height;
    resize(twipsToPixels(width, this), twipsToPixels(height, this));
    placeConfirmButton();
}

void Form2::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    // A size the twips gave keeps those twips; a size the user dragged to is converted.
    if (event->size().width() != twipsToPixels(clientWidth_, this))
        clientWidth_ = int(std::lround(event->size().width() * twipsPerPixelX(this)));
    if (event->size().height() != twipsToPixels(clientHeight_, this))
        clientHeight_ = int(std::lround(event->size().height() * twipsPerPixelY(this)));
    placeConfirmButton();
}

void Form2::placeConfirmButton() {
    if (!addtobrain_) return; // discarded
    design::Rect place = addtobrain_->place();
    place.left = clientWidth_ - place.width - 4;
    place.top = clientHeight_ - place.height - 4;
    addtobrain_->setPlace(place);
}

void Form2::orderTabs() {
    if (!addtobrain_) return;
    std::vector<DialogControl*> fields;
    for (const Array& a : arrays_) {
        if (a.design->kind == design::ControlKind::Label) continue;
        for (int i = 1, last = a.elements->UBound(); i <= last; ++i)
            if (auto* c = qobject_cast<DialogControl*>(a.elements->element(i))) fields.push_back(c);
    }
    std::stable_sort(fields.begin(), fields.end(), [](const DialogControl* x, const DialogControl* y) {
        return std::pair(x->Top(), x->Left()) < std::pair(y->Top(), y->Left());
    });
    QWidget* previous = element(design::kTextbox, 0)->widget();
    for (DialogControl* c : fields) {
        setTabOrder(previous, c->widget());
        previous = c->widget();
    }
    setTabOrder(previous, addtobrain_->widget());
}

void Form2::reject() {
    close();
}

void Form2::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closedByUser();
}

} // namespace qz
