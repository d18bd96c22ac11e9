// The main window as the program wires it, driven the way a user takes each path: the rows of brain.qzb,
// a row's own Delete button, the recogniser's guess in row 0, the "Add command" and head entries of the
// menus, and the window reachable on a desktop without a tray. On fakes, over a temporary program folder.

#define QTEST_QPA_MOUSE_HANDLING

#include "FakePlatform.h"
#include "app/QuorzelProgram.h"
#include "engine/Form1.h"
#include "head/CharacterHead.h"
#include "listview/CommandList.h"
#include "platform/window/ElidedLabel.h"
#include "shell/CommandMenus.h"
#include "shell/OptionsMenu.h"

#include <QDir>
#include <QFile>
#include <QMenuBar>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace qz {
namespace {

const char* const kBrain = "Wake up|activate|At your service\r\nGo quiet|deactivate|Standing by\r\n"
                           "Sleep now|sleep|Good night\r\nhello there|plugin|say|Hello\r\n"
                           "what time|plugin|time|It is|24\r\n";

class MainWindow : public testing::Test, protected test::FakePlatform {
protected:
    void SetUp() override {
        QDir(dir.path()).mkpath("data");
        QDir(dir.path()).mkpath("character");
        for (const char* plugin : {"say", "time"})
            QFile::copy(QStringLiteral(QZ_CONTENT_DIR "/data/") + plugin + ".qzp",
                        dir.filePath(QStringLiteral("data/") + plugin + ".qzp"));
        QFile::copy(QStringLiteral(QZ_CONTENT_DIR "/character/Robot.qzc"),
                    dir.filePath("character/Robot.qzc"));
        write("character/currenthead.qzs", "none\r\n");
        write("data/brain.qzb", kBrain);
    }

    void write(const QString& relative, const QByteArray& bytes) {
        QFile file(dir.filePath(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QByteArray read(const QString& relative) const {
        QFile file(dir.filePath(relative));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void start() {
        program = std::make_unique<QuorzelProgram>(dir.path(), services(), &messages);
        program->form().Form_Load();
    }

    QStringList menuBarTitles() const {
        QStringList titles;
        for (QAction* action : program->form().menuBar()->actions())
            titles << action->text();
        return titles;
    }

    QTemporaryDir dir;
    std::unique_ptr<QuorzelProgram> program;
};

TEST_F(MainWindow, ARowsDeleteButtonRemovesItsCommandFromTheListTheFileAndTheGrammar) {
    start();
    Form1& form = program->form();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    CommandList& list = program->list();
    EXPECT_EQ(list.rowCount(), 5);
    ListBar* row = list.row(3);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->command()->text(), "hello there");
    QTest::mouseClick(row, Qt::LeftButton, {}, QPoint(100, 8));
    ASSERT_TRUE(row->remove()->isVisible());
    QTest::mouseClick(row->remove(), Qt::LeftButton);
    EXPECT_EQ(form.brainlist().count(), 4);
    EXPECT_EQ(list.rowCount(), 4);
    EXPECT_EQ(list.row(3)->command()->text(), "what time");
    EXPECT_EQ(read("data/brain.qzb"),
              "Wake up|activate|At your service\r\nGo quiet|deactivate|Standing by\r\n"
              "Sleep now|sleep|Good night\r\nwhat time|plugin|time|It is|24\r\n");
    EXPECT_EQ(recognizer.activePhrases(), (QStringList{"Wake up", "Go quiet", "Sleep now", "what time"}));
}

TEST_F(MainWindow, RowZeroShowsWhatIsHeardUntilThePhraseIsRecognisedOrTurnedDown) {
    start();
    program->form().show();
    CommandList& list = program->list();
    recognizer.say("hello there general");
    EXPECT_EQ(list.row(0)->action()->text(), "At your service");
    recognizer.hypothesize("wake");
    EXPECT_EQ(list.row(0)->action()->text(), "At your service [Hypothesis: wake]");
    recognizer.say("Wake up");
    EXPECT_EQ(list.row(0)->action()->text(), "At your service");
    EXPECT_EQ(program->form().stat()->text(), "Listening...");
}

TEST_F(MainWindow, TheMenusOfferThePluginsAndHeadsWhoseEntriesReachTheirHandlers) {
    start();
    EXPECT_EQ(menuBarTitles(), (QStringList{"Add command", "Options"}));
    CommandMenus& menus = program->menus();
    QStringList plugins;
    for (QAction* entry : menus.mnuAdd()->actions())
        plugins << entry->text();
    EXPECT_EQ(plugins, (QStringList{"say", "time"}));
    QSignalSpy chosen(&menus, &CommandMenus::pluginChosen);
    menus.mnuAdd()->actions().at(1)->trigger();
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_EQ(chosen.at(0).at(0).toString(), "time");

    // The head entry after "No head" loads its head and remembers it.
    QList<QAction*> heads = program->options().ch()->actions();
    ASSERT_EQ(heads.size(), 2);
    EXPECT_EQ(heads.at(1)->text(), "Robot.qzc");
    heads.at(1)->trigger();
    EXPECT_TRUE(program->head().isShown());
    EXPECT_EQ(read("character/currenthead.qzs"), "Robot\r\n");
    EXPECT_TRUE(messages.texts.isEmpty()) << messages.texts.join("\n").toStdString();
}

TEST_F(MainWindow, WithATrayStartUpStaysHiddenAndClosingHides) {
    start();
    Form1& form = program->form();
    EXPECT_FALSE(form.isVisible());
    form.show();
    form.close();
    EXPECT_FALSE(form.isVisible());
}

TEST_F(MainWindow, WithoutATrayTheWindowShowsAtStartUpAndClosingMinimisesIt) {
    trayAvailable = false;
    start();
    Form1& form = program->form();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(menuBarTitles(), (QStringList{"Add command", "Options"}));
    // Options from the menu bar: "Show brain" greyed out, since the window is there.
    emit program->options().aboutToShow();
    EXPECT_FALSE(program->options().mnuBrain()->isEnabled());
    form.close();
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(form.isMinimized());

    // With a head on the desktop its right click gives the window back, so closing hides again.
    form.showNormal();
    program->options().ch()->actions().at(1)->trigger();
    ASSERT_TRUE(program->head().isShown());
    form.close();
    EXPECT_FALSE(form.isVisible());
    // Taking the head away leaves nothing that could give the window back: it shows again.
    program->options().noHead()->trigger();
    EXPECT_FALSE(program->head().isShown());
    EXPECT_TRUE(form.isVisible());
}

TEST_F(MainWindow, StatusAndModeLabelsShowTheirWholeTextUnderTheList) {
    start();
    Form1& form = program->form();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QLabel* stat = form.stat();
    QLabel* mode = form.Label1();
    for (const char* text : {"Current: Voice commands", "Current: Dictating..."}) {
        mode->setText(text);
        EXPECT_GE(mode->width(), mode->fontMetrics().horizontalAdvance(text)) << text;
    }
    EXPECT_GE(stat->width(), stat->fontMetrics().horizontalAdvance("Not listening"));
    EXPECT_FALSE(static_cast<ElidedLabel*>(stat)->isElided());
    const QRect list = program->list().geometry();
    EXPECT_EQ(list.size(), QSize(358, 363)); // 5370 x 5445 twips
    for (QLabel* label : {stat, mode}) {
        EXPECT_GE(label->y(), list.bottom());
        EXPECT_LE(label->geometry().bottom(), form.centralWidget()->height());
        EXPECT_GE(label->height(), label->fontMetrics().height());
        EXPECT_LE(label->geometry().right(), form.centralWidget()->width());
    }
    EXPECT_LT(stat->geometry().right(), mode->x());
}

} // namespace
} // namespace qz
