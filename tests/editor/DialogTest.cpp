// The settings dialog on its own: its design, the field builder, the Browse buttons' places, the resize
// rule, Browse through a fake file chooser and closing by the close box.

#include "editor/Form2.h"
#include "editor/SettingsEditor.h"
#include "platform/fake/FakeFileChooser.h"
#include "platform/scripthost/ScriptObjectArray.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace vbscript::plugin {
void PrintTo(const Rect& r, std::ostream* os) {
    *os << r.left << ", " << r.top << ", " << r.width << " x " << r.height;
}
bool operator==(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}
} // namespace vbscript::plugin

namespace qz {
namespace {

namespace design = vbscript::plugin;
using design::Rect;

// Delivers the queued clicks.
void settle() {
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

TEST(Form2, DesignAsTheUserFirstSeesIt) {
    Form2 form;
    EXPECT_EQ(form.windowTitle(), "Add");
    EXPECT_FALSE(form.isModal());
    struct Element {
        const design::ControlDesign& array;
        Rect place;
        QString text;
        bool visible;
    };
    const Element elements[] = {
        {design::kLabelthing, {120, 135, 1245, 195}, "Activation Phrase", true},
        {design::kTextbox, {120, 360, 4575, 300}, "", true},
        {design::kCheckbox, {150, 1485, 1890, 240}, "Check1", false},
        {design::kPathBox, {120, 2400, 4575, 345}, "(None)", false},
        {design::kBrowseButton, {2625, 1575, 1050, 360}, "Browse", false},
    };
    for (const Element& e : elements) {
        DialogControl* c = form.element(e.array, 0);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->place(), e.place) << c->widget()->objectName().toStdString();
        EXPECT_EQ(c->text(), e.text);
        EXPECT_EQ(c->Visible(), e.visible);
        EXPECT_EQ(form.upperBound(e.array), 0);
    }
    EXPECT_EQ(form.confirmButton()->text(), "Create");
    EXPECT_EQ(form.confirmButton()->place(), (Rect{3255, 3165, 1440, 450}));

    // Shown at its design size, the button goes to its corner: 4815 - 1440 - 4, 3660 - 450 - 4.
    form.show();
    EXPECT_EQ(form.clientWidthTwips(), 4815);
    EXPECT_EQ(form.clientHeightTwips(), 3660);
    EXPECT_EQ(form.confirmButton()->place(), (Rect{3371, 3206, 1440, 450}));
    form.setClientTwips(6000, 4000);
    EXPECT_EQ(form.confirmButton()->place(), (Rect{4556, 3546, 1440, 450}));
    // Nothing else moves.
    EXPECT_EQ(form.element(design::kTextbox, 0)->place(), (Rect{120, 360, 4575, 300}));
    // At 96 DPI a pixel is 15 twips, rounded to the nearest pixel.
    EXPECT_EQ(form.confirmButton()->widget()->geometry(), QRect(304, 236, 96, 30));
}

TEST(Form2, FieldBuilderMakesCopiesOfElementZeroNumberedInOrder) {
    struct Case {
        const char* kind;
        const design::ControlDesign* array; // null: nothing made
        Rect place;
        QString text;
    };
    const Case cases[] = {
        {"textinput", &design::kTextbox, {120, 360, 4575, 300}, ""},
        {"textoutput", &design::kLabelthing, {120, 135, 1245, 195}, "Activation Phrase"},
        {"checkbox", &design::kCheckbox, {150, 1485, 1890, 240}, "Check1"},
        {"browsedialog", &design::kPathBox, {120, 2400, 4575, 345}, "(None)"},
        {"Textinput", nullptr, {}, ""},
        {"TEXTOUTPUT", nullptr, {}, ""},
        {"button", nullptr, {}, ""},
        {"", nullptr, {}, ""},
    };
    for (const Case& c : cases) {
        Form2 form;
        form.show();
        // Twice without placing: two new fields exactly over their template, elements 1 and 2.
        DialogControl* first = form.create(c.kind);
        DialogControl* second = form.create(c.kind);
        if (!c.array) {
            EXPECT_EQ(first, nullptr) << c.kind;
            for (const design::ControlDesign* a : design::kControlArrays)
                EXPECT_EQ(form.upperBound(*a), 0) << c.kind;
            continue;
        }
        ASSERT_NE(second, nullptr) << c.kind;
        EXPECT_EQ(form.upperBound(*c.array), 2) << c.kind;
        EXPECT_EQ(form.element(*c.array, 1), first);
        EXPECT_EQ(form.element(*c.array, 2), second);
        for (DialogControl* made : {first, second}) {
            EXPECT_EQ(made->place(), c.place) << c.kind;
            EXPECT_EQ(made->text(), c.text) << c.kind;
            EXPECT_TRUE(made->Visible()) << c.kind;
            EXPECT_TRUE(made->widget()->isVisible()) << c.kind;
        }
    }
}

TEST(Form2, NewElementCopiesElementZeroAsItIsNow) {
    Form2 form;
    DialogControl* label = form.element(design::kLabelthing, 0);
    label->setPlace({300, 200, 2000, 250});
    label->setText("Your words");
    DialogControl* made = form.create("textoutput");
    EXPECT_EQ(made->place(), (Rect{300, 200, 2000, 250}));
    EXPECT_EQ(made->text(), "Your words");
    EXPECT_EQ(made->widget()->font(), label->widget()->font());
}

TEST(Form2, BrowseButtonsGoOverTheRightEndOfEachPathBox) {
    struct Case {
        const char* name;
        Rect box;
        Rect button;
        int boxWidth;
    };
    const Case cases[] = {
        {"LeftWhereItAppeared", {120, 2400, 4575, 345}, {3645, 2400, 1050, 345}, 3523},
        {"Placed", {120, 1650, 4575, 345}, {3645, 1650, 1050, 345}, 3523},
        {"JustWideEnough", {0, 0, 1052, 300}, {2, 0, 1050, 300}, 0},
        // Too narrow for the button: it goes beside the box, which keeps its width.
        {"Narrow", {120, 900, 1000, 300}, {1122, 900, 1050, 300}, 1000},
        {"NoWidth", {120, 900, 0, 300}, {122, 900, 1050, 300}, 0},
    };
    for (const Case& c : cases) {
        Form2 form;
        DialogControl* box = form.create("browsedialog");
        box->setPlace(c.box);
        form.attachBrowseButtons();
        ASSERT_EQ(form.upperBound(design::kBrowseButton), 1) << c.name;
        DialogControl* button = form.element(design::kBrowseButton, 1);
        EXPECT_EQ(button->place(), c.button) << c.name;
        EXPECT_EQ(button->text(), "Browse") << c.name;
        EXPECT_TRUE(button->Visible()) << c.name;
        EXPECT_EQ(box->Width(), c.boxWidth) << c.name;
        // The template stays hidden.
        EXPECT_FALSE(form.element(design::kBrowseButton, 0)->Visible()) << c.name;
    }
}

TEST(Form2, BrowseButtonsOnlyForPathBoxes) {
    Form2 form;
    form.create("textinput");
    form.create("checkbox");
    form.attachBrowseButtons();
    EXPECT_EQ(form.upperBound(design::kBrowseButton), 0);
}

TEST(Form2, RemovingFieldsLeavesTheDesignAndAnEmptyPhraseBox) {
    Form2 form;
    form.element(design::kTextbox, 0)->setText("old phrase");
    for (const char* kind : {"textinput", "textoutput", "checkbox", "browsedialog", "browsedialog"})
        form.create(kind);
    form.attachBrowseButtons();
    QPointer<QObject> madeBox = form.element(design::kPathBox, 2);
    QPointer<QWidget> madeButton = form.element(design::kBrowseButton, 2)->widget();
    form.removeFields();
    for (const design::ControlDesign* a : design::kControlArrays)
        EXPECT_EQ(form.upperBound(*a), 0);
    EXPECT_TRUE(madeBox.isNull());
    EXPECT_TRUE(madeButton.isNull());
    EXPECT_EQ(form.element(design::kTextbox, 0)->text(), "");
    EXPECT_EQ(form.element(design::kLabelthing, 0)->text(), "Activation Phrase");
    // Numbering starts again from 1.
    DialogControl* again = form.create("checkbox");
    EXPECT_EQ(form.element(design::kCheckbox, 1), again);
}

TEST(Form2, CheckBoxValueIsWhatTheUserLeft) {
    Form2 form;
    auto* box = static_cast<CheckBoxControl*>(form.create("checkbox"));
    EXPECT_EQ(box->Value(), 0);
    static_cast<QAbstractButton*>(box->widget())->click();
    EXPECT_EQ(box->Value(), 1);
    box->setValue(2);
    EXPECT_EQ(box->Value(), 2);
    EXPECT_ANY_THROW(box->setValue(3));
    EXPECT_EQ(box->Value(), 2);
}

class Editor : public testing::Test {
protected:
    FakeFileChooser files;
    SettingsEditor editor{files, "/opt/quorzel"};

    // Three path boxes with their buttons, as a plugin's draw leaves them.
    Form2& openWithPathBoxes() {
        editor.clearFields();
        for (int i = 0; i < 3; ++i)
            editor.create("browsedialog");
        editor.showModeless();
        editor.attachBrowseButtons();
        return *editor.form();
    }
    void clickBrowse(int index) {
        static_cast<QPushButton*>(editor.form()->element(design::kBrowseButton, index)->widget())->click();
        settle();
    }
    QString box(int index) { return editor.form()->element(design::kPathBox, index)->text(); }
};

TEST_F(Editor, BrowseAsksWithTheDialogsOwnWordsAndFillsTheBoxOfItsIndex) {
    Form2& form = openWithPathBoxes();
    files.answers = {QString("/home/me/mail.sh")};
    clickBrowse(3);
    ASSERT_EQ(files.requests.size(), 1);
    const FileRequest& asked = files.requests[0];
    EXPECT_EQ(asked.title, "Chose a file or an executable");
    EXPECT_EQ(asked.filterDescription, "All files and executables (*.*)");
    EXPECT_EQ(asked.filterPattern, "*.*");
    EXPECT_EQ(asked.startFolder, "/opt/quorzel/");
    EXPECT_EQ(asked.startFile, "");
    EXPECT_EQ(files.owners[0], &form);
    EXPECT_EQ(box(1), "(None)");
    EXPECT_EQ(box(2), "(None)");
    EXPECT_EQ(box(3), "/home/me/mail.sh");

    // Cancelling changes nothing; the next Browse, in any field, starts at the last chosen file.
    clickBrowse(3);
    clickBrowse(1);
    EXPECT_EQ(box(3), "/home/me/mail.sh");
    EXPECT_EQ(box(1), "(None)");
    EXPECT_EQ(files.requests[2].startFile, "/home/me/mail.sh");
}

TEST_F(Editor, TheLastChosenFileOutlivesTheDialog) {
    openWithPathBoxes();
    files.answers = {QString("/usr/bin/gedit")};
    clickBrowse(1);
    editor.unload();
    openWithPathBoxes();
    clickBrowse(2);
    EXPECT_EQ(files.requests.last().startFile, "/usr/bin/gedit");
    EXPECT_EQ(box(2), "(None)");
}

TEST_F(Editor, ClosingByTheCloseBoxDiscardsTheDialogAndItsFields) {
    Form2& form = openWithPathBoxes();
    QPointer<QObject> field = editor.scriptObject("browsedialog");
    QPointer<QObject> dialog = editor.scriptObject("dialog");
    QPointer<Form2> window = &form;
    form.close();
    settle();
    EXPECT_FALSE(editor.isOpen());
    EXPECT_EQ(editor.phrase(), "");
    EXPECT_EQ(editor.dialogplugin(), "");
    EXPECT_TRUE(field.isNull());
    EXPECT_TRUE(dialog.isNull());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    // The next opening has the design again.
    editor.clearFields();
    EXPECT_EQ(editor.form()->upperBound(design::kPathBox), 0);
}

TEST_F(Editor, ConfirmButtonIsReportedOutsideItsOwnClick) {
    editor.clearFields();
    editor.showModeless();
    int confirmed = 0;
    QObject::connect(&editor, &SettingsEditor::confirmed, [&] {
        ++confirmed;
        editor.unload(); // what storing a command does
    });
    editor.form()->confirmButton()->button()->click();
    EXPECT_EQ(confirmed, 0);
    settle();
    EXPECT_EQ(confirmed, 1);
    EXPECT_FALSE(editor.isOpen());
}

TEST_F(Editor, KeyboardGoesThroughTheFieldsTopDownAndEnterConfirms) {
    editor.clearFields();
    Form2& form = *editor.form();
    DialogControl* lower = form.create("textinput");
    DialogControl* upper = form.create("browsedialog");
    lower->setTop(1800);
    upper->setTop(900);
    form.attachBrowseButtons();
    editor.showModeless();
    QWidget* phrase = form.element(design::kTextbox, 0)->widget();
    EXPECT_EQ(phrase->nextInFocusChain(), upper->widget());
    EXPECT_EQ(upper->widget()->nextInFocusChain(), form.element(design::kBrowseButton, 1)->widget());
    EXPECT_EQ(form.element(design::kBrowseButton, 1)->widget()->nextInFocusChain(), lower->widget());
    EXPECT_EQ(lower->widget()->nextInFocusChain(), form.confirmButton()->widget());

    int confirmed = 0;
    QObject::connect(&editor, &SettingsEditor::confirmed, [&] { ++confirmed; });
    phrase->setFocus();
    QTest::keyClick(phrase, Qt::Key_Return);
    settle();
    EXPECT_EQ(confirmed, 1);
}

TEST_F(Editor, ScriptObjectsByName) {
    EXPECT_EQ(editor.scriptObject("dialog"), nullptr); // closed
    editor.clearFields();
    Form2& form = *editor.form();
    EXPECT_EQ(editor.scriptObject("textinput"), form.array(design::kTextbox));
    EXPECT_EQ(editor.scriptObject("textoutput"), form.array(design::kLabelthing));
    EXPECT_EQ(editor.scriptObject("browsedialog"), form.array(design::kPathBox));
    EXPECT_EQ(editor.scriptObject("dialog"), form.scriptObject());
    EXPECT_EQ(editor.scriptObject("Checkbox"), nullptr);
}

} // namespace
} // namespace qz
