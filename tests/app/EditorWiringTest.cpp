// The command editor as the program wires it: the dialog's own confirm button reaches the controller,
// and the command lands in the file.

#define QTEST_QPA_MOUSE_HANDLING

#include "FakePlatform.h"
#include "app/QuorzelProgram.h"
#include "editor/Form2.h"
#include "editor/SettingsEditor.h"
#include "engine/Form1.h"
#include "listview/CommandList.h"
#include "platform/window/ElidedLabel.h"
#include "shell/CommandMenus.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace qz {
namespace {

namespace design = vbscript::plugin;

const QByteArray kStates = "Wake up|activate|At your service\r\nGo quiet|deactivate|Standing by\r\n"
                           "Sleep now|sleep|Good night\r\n";

class EditorWiring : public testing::Test, protected test::FakePlatform {
protected:
    void SetUp() override {
        QDir(dir.path()).mkpath("data");
        QDir(dir.path()).mkpath("character");
        write("data/brain.qzb", kStates);
        QFile::copy(QZ_CONTENT_DIR "/data/say.qzp", dir.filePath("data/say.qzp"));
        program = std::make_unique<QuorzelProgram>(dir.path(), services(), &messages);
        program->form().Form_Load();
    }
    void write(const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray brain() {
        QFile f(dir.filePath("data/brain.qzb"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void type(const design::ControlDesign& array, int index, const QString& text) {
        auto* box = qobject_cast<QLineEdit*>(program->editor().form()->element(array, index)->widget());
        box->clear();
        QTest::keyClicks(box, text);
    }
    void clickConfirm() {
        QTest::mouseClick(program->editor().form()->confirmButton()->button(), Qt::LeftButton);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }

    QTemporaryDir dir;
    std::unique_ptr<QuorzelProgram> program;
};

TEST_F(EditorWiring, AddChangeAndDeleteASayCommandTheWayTheUserDoes) {
    Form1& form = program->form();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QAction* say = nullptr;
    for (QAction* entry : program->menus().mnuAdd()->actions())
        if (entry->text() == "say") say = entry;
    ASSERT_NE(say, nullptr);
    say->trigger();
    ASSERT_TRUE(program->editor().isOpen());
    type(design::kTextbox, 0, "good evening");
    type(design::kTextbox, 1, "Evening");
    clickConfirm();
    EXPECT_FALSE(program->editor().isOpen());
    EXPECT_EQ(brain(), kStates + "good evening|plugin|say|Evening\r\n");
    CommandList& list = program->list();
    ASSERT_EQ(list.rowCount(), 4);
    EXPECT_EQ(list.row(3)->command()->text(), "good evening");

    // The row's own change button, shown once the row is selected.
    QTest::mouseClick(list.row(3), Qt::LeftButton, {}, QPoint(100, 8));
    ASSERT_TRUE(list.row(3)->changer()->isVisible());
    QTest::mouseClick(list.row(3)->changer(), Qt::LeftButton);
    ASSERT_TRUE(program->editor().isOpen());
    EXPECT_EQ(program->editor().form()->element(design::kTextbox, 1)->text(), "Evening");
    type(design::kTextbox, 1, "Good evening to you");
    clickConfirm();
    EXPECT_EQ(brain(), kStates + "good evening|plugin|say|Good evening to you\r\n");
    EXPECT_EQ(list.row(3)->command()->text(), "good evening");

    QTest::mouseClick(list.row(3), Qt::LeftButton, {}, QPoint(100, 8));
    QTest::mouseClick(list.row(3)->remove(), Qt::LeftButton);
    EXPECT_EQ(brain(), kStates);
    EXPECT_EQ(list.rowCount(), 3);
    EXPECT_TRUE(messages.texts.isEmpty()) << messages.texts.join("\n").toStdString();
}

TEST_F(EditorWiring, TheCloseBoxStoresNothing) {
    program->form().pluginmenu_Click("say");
    type(design::kTextbox, 0, "not kept");
    type(design::kTextbox, 1, "No");
    program->editor().form()->close();
    QCoreApplication::processEvents();
    EXPECT_FALSE(program->editor().isOpen());
    EXPECT_EQ(program->form().brainlist().count(), 3);
    EXPECT_TRUE(messages.texts.isEmpty()) << messages.texts.join("\n").toStdString();
}

} // namespace
} // namespace qz
