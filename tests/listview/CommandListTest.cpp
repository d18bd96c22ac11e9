// The command list as the user meets it: rows showing their records with icons and colours, selection
// and the buttons by clicking, the scroll range after refreshes, drag scrolling with the real pointer
// events, the scroll bar, and the hypothesis in row 0. Rows are virtual, so a row is looked up by its
// record and checked where the design puts it.

// Mouse events go through the window system's path, to the widget under the pointer and to the one that
// holds the pointer while a button is down, as a user's mouse does.
#define QTEST_QPA_MOUSE_HANDLING

#include "listview/CommandList.h"
#include "listview/ListGeometry.h"
#include "platform/window/ElidedLabel.h"

#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace qz {
namespace {

constexpr int kRowPx = 33; // 495 twips at 96 DPI

QStringList numbered(int count) {
    QStringList records = {"computer are you there|activate|I am listening",
                           "thank you computer|deactivate|I have stopped listening",
                           "computer go to sleep|sleep|Going to sleep"};
    for (int i = 3; i < count; ++i)
        records << QStringLiteral("command %1|plugin|say|reply %1").arg(i);
    return records.mid(0, count);
}

QImage solidStrip(QSize size, QColor left, QColor right) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(left);
    for (int y = 0; y < size.height(); ++y)
        for (int x = size.width() / 2; x < size.width(); ++x)
            image.setPixel(x, y, right.rgb());
    return image;
}

class CommandListTest : public testing::Test {
protected:
    void SetUp() override {
        QDir(dir.path()).mkpath("data");
        list = std::make_unique<CommandList>(ProgramFolder(dir.path()));
        list->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(list.get()));
    }

    QString data(const QString& name) const { return dir.filePath("data/" + name); }

    // The row's top in the viewport, in twips, as its control stands.
    int shownTop(int i) const {
        ListBar* bar = list->row(i);
        return bar ? bar->y() * 15 : INT_MIN;
    }

    // A point on row i's phrase, in the list's own pixels.
    QPoint onRow(int i) const { return QPoint(200, list->row(i)->y() + 8); }

    QTemporaryDir dir;
    std::unique_ptr<CommandList> list;
};

TEST_F(CommandListTest, EachRowShowsItsRecordWithTheDesignsColoursIconAndButtons) {
    ASSERT_TRUE(solidStrip({44, 22}, Qt::red, Qt::blue).save(data("say.bmp"), "BMP"));
    list->rebuild(numbered(5));
    struct Case {
        int index;
        bool selected;
        const char* command;
        const char* action;
        QColor background, actionColour;
        int iconLeft;
        bool buttons;
    };
    const QColor grey(128, 128, 128), white(255, 255, 255), chosen(178, 180, 191);
    const Case cases[] = {
        {0, false, "computer are you there", "I am listening", white, grey, 0, false},
        {0, true, "computer are you there", "I am listening", chosen, Qt::black, -22, false},
        {2, true, "computer go to sleep", "Going to sleep", chosen, Qt::black, -22, false},
        {3, false, "command 3", "say(reply 3)", white, grey, 0, false},
        {3, true, "command 3", "say(reply 3)", chosen, Qt::black, -22, true},
        {4, true, "command 4", "say(reply 4)", chosen, Qt::black, -22, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << c.index << (c.selected ? " selected" : ""));
        // A click selects its row and unselects every other.
        QTest::mouseClick(list.get(), Qt::LeftButton, {},
                          onRow(c.selected ? c.index : (c.index == 1 ? 2 : 1)));
        ListBar* bar = list->row(c.index);
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->isSelected(), c.selected);
        EXPECT_EQ(bar->command()->text().toStdString(), c.command);
        EXPECT_EQ(bar->action()->text().toStdString(), c.action);
        EXPECT_EQ(bar->background(), c.background);
        EXPECT_EQ(bar->action()->palette().color(QPalette::WindowText), c.actionColour);
        EXPECT_EQ(bar->iconia()->x(), c.iconLeft);
        EXPECT_EQ(bar->changer()->isVisible(), c.buttons);
        EXPECT_EQ(bar->remove()->isVisible(), c.buttons);
        EXPECT_EQ(bar->size(), QSize(340, kRowPx));
        EXPECT_EQ(bar->y(), c.index * kRowPx);
    }
    EXPECT_EQ(list->row(3)->changer()->toolTip(), "Change command");
    EXPECT_EQ(list->row(3)->remove()->toolTip(), "Delete command");
    // At most one row is selected.
    int selected = 0;
    for (int i = 0; i < 5; ++i)
        selected += list->row(i)->isSelected();
    EXPECT_EQ(selected, 1);
    // The plugin's own strip, and the built-in ones for the first three rows.
    EXPECT_EQ(list->row(3)->iconia()->strip().pixel(0, 0), QColor(Qt::red).rgb());
    EXPECT_EQ(list->row(3)->iconia()->strip().pixel(30, 0), QColor(Qt::blue).rgb());
    EXPECT_EQ(list->row(0)->iconia()->strip(),
              QImage(":/quorzel/listview/ear.bmp").convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(list->row(1)->iconia()->strip(),
              QImage(":/quorzel/listview/deaf.bmp").convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(list->row(2)->iconia()->strip(),
              QImage(":/quorzel/listview/dissa.bmp").convertToFormat(QImage::Format_RGB32));
}

TEST_F(CommandListTest, APluginIconThatCannotBeShownGivesTheDefaultPicture) {
    const QImage fallback = QImage(":/quorzel/listview/default.bmp").convertToFormat(QImage::Format_RGB32);
    ASSERT_TRUE(solidStrip({30, 30}, Qt::red, Qt::red).save(data("square.bmp"), "BMP"));
    ASSERT_TRUE(solidStrip({44, 22}, Qt::red, Qt::red).save(data("png.bmp"), "PNG"));
    ASSERT_TRUE(solidStrip({88, 44}, Qt::green, Qt::blue).save(data("large.bmp"), "BMP"));
    ASSERT_TRUE(solidStrip({40, 20}, Qt::red, Qt::red).save(data("small.bmp"), "BMP"));
    QFile text(data("text.bmp"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("BM this is not a picture");
    text.close();
    QStringList records = numbered(3);
    for (const char* plugin : {"missing", "square", "png", "text", "small", "../data/large", "large"})
        records << QStringLiteral("x|plugin|%1|y").arg(QLatin1String(plugin));
    records << "x|script|code";
    list->rebuild(records);
    for (int i = 3; i < 9; ++i) {
        SCOPED_TRACE(records.at(i).toStdString());
        EXPECT_EQ(list->row(i)->iconia()->strip(), fallback);
        EXPECT_EQ(list->row(i)->height(), kRowPx);
    }
    const QImage scaled = list->row(9)->iconia()->strip();
    EXPECT_EQ(scaled.size(), QSize(44, 22));
    EXPECT_EQ(scaled.pixel(21, 11), QColor(Qt::green).rgb()); // each frame scaled on its own
    EXPECT_EQ(scaled.pixel(22, 11), QColor(Qt::blue).rgb());
    EXPECT_EQ(list->row(10)->iconia()->strip(),
              QImage(":/quorzel/listview/scriptia.bmp").convertToFormat(QImage::Format_RGB32));
}

TEST_F(CommandListTest, ALongPhraseIsElidedWithoutWideningTheRow) {
    const QString phrase(300, QLatin1Char('w'));
    list->rebuild(numbered(3) << phrase + "|plugin|say|" + phrase);
    ListBar* bar = list->row(3);
    EXPECT_EQ(bar->command()->text(), phrase);
    EXPECT_TRUE(bar->command()->isElided());
    EXPECT_TRUE(bar->command()->shownText().endsWith(QChar(0x2026)));
    EXPECT_LE(bar->command()->geometry().right(), bar->changer()->x());
    EXPECT_EQ(bar->size(), QSize(340, kRowPx));
    EXPECT_TRUE(bar->toolTip().startsWith(phrase)); // the whole phrase can still be read
}

TEST_F(CommandListTest, TheRefreshSetsTheScrollRangeAndKeepsTheScrollPosition) {
    struct Case {
        int records, rows, maximum;
        bool enabled;
    };
    for (const Case c : {Case{0, 1, 0, false}, {11, 11, 0, false}, {12, 12, 1, true}, {40, 40, 29, true}}) {
        SCOPED_TRACE(c.records);
        list->rebuild(numbered(c.records));
        EXPECT_EQ(list->rowCount(), c.rows);
        EXPECT_EQ(list->VScroll1()->maximum(), c.maximum);
        EXPECT_EQ(list->VScroll1()->isEnabled(), c.enabled);
        EXPECT_NE(list->row(0), nullptr);
    }
    // An empty list shows row 0 empty.
    list->rebuild({});
    EXPECT_EQ(list->row(0)->command()->text(), "");
    EXPECT_EQ(list->row(0)->action()->text(), "");

    // Scrolled, the list stays scrolled through a refresh that adds a record.
    list->rebuild(numbered(40));
    list->VScroll1()->setValue(10);
    list->rebuild(numbered(41));
    EXPECT_EQ(list->VScroll1()->value(), 10);
    EXPECT_EQ(list->rowTop(0), -4950);
    EXPECT_EQ(shownTop(10), 0);
    EXPECT_EQ(list->row(9), nullptr);

    // Deleting the last record at the end lowers the value to the new maximum and restacks the rows.
    list->rebuild(numbered(40));
    list->VScroll1()->setValue(29);
    EXPECT_EQ(shownTop(39), 10 * 495);
    list->rebuild(numbered(39));
    EXPECT_EQ(list->VScroll1()->value(), 28);
    EXPECT_EQ(list->rowTop(0), -28 * 495);
    EXPECT_EQ(shownTop(38), 10 * 495);
    EXPECT_EQ(list->row(38)->command()->text(), "command 38");
    EXPECT_EQ(list->row(39), nullptr);
}

TEST_F(CommandListTest, TheScrollBarShowsElevenRowsFromItsValueAlsoPastSeventySevenRows) {
    list->rebuild(numbered(100000));
    for (int value : {0, 1, 66, 67, 5000, 99989}) {
        SCOPED_TRACE(value);
        list->VScroll1()->setValue(value);
        for (int i = value; i <= value + 10; ++i) {
            ASSERT_NE(list->row(i), nullptr) << i;
            EXPECT_EQ(shownTop(i), (i - value) * 495);
            if (i > 2) {
                EXPECT_EQ(list->row(i)->command()->text(), QStringLiteral("command %1").arg(i));
            }
        }
        EXPECT_EQ(list->row(value + 11), nullptr);
    }
}

TEST_F(CommandListTest, DraggingTheRowsFollowsThePointerAndTheReleaseSnapsToWholeRows) {
    struct Case {
        const char* name;
        int records, startValue, pressRow;
        std::vector<int> moves; // pointer heights in the list's pixels, after the press at the row's phrase
        double topAfterMoves;
        int valueAfter;
        double topAfter;
    };
    const Case cases[] = {
        {"eleven rows do not move", 11, 0, 5, {100, 20}, 0, 0, 0},
        {"twelve rows stop with row 1 at the top", 12, 0, 4, {120, 60, 0}, -495, 1, -495},
        {"twelve rows stop with row 0 at the top", 12, 0, 4, {200, 300}, 0, 0, 0},
        {"less than half a row stays where it was left", 40, 0, 5, {165 + 8 - 16}, -240, 0, -240},
        {"more than half a row snaps to the next", 40, 0, 5, {165 + 8 - 17}, -255, 1, -495},
        {"down past the top from further down", 40, 5, 7, {200, 360}, 0, 0, 0},
        {"up past the end", 40, 25, 30, {100, 0}, -29 * 495, 29, -29 * 495},
        {"the rows follow the pointer there and back", 40, 3, 6, {0, 50, 107}, -3 * 495, 3, -3 * 495},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        list->rebuild(numbered(c.records));
        list->VScroll1()->setValue(c.startValue);
        const QPoint press = onRow(c.pressRow);
        QTest::mousePress(list.get(), Qt::LeftButton, {}, press);
        for (int y : c.moves)
            QTest::mouseMove(list.get(), QPoint(press.x(), y));
        EXPECT_DOUBLE_EQ(list->rowTop(0), c.topAfterMoves);
        QTest::mouseRelease(list.get(), Qt::LeftButton, {}, QPoint(press.x(), c.moves.back()));
        EXPECT_EQ(list->VScroll1()->value(), c.valueAfter);
        EXPECT_DOUBLE_EQ(list->rowTop(0), c.topAfter);
        list->VScroll1()->setValue(0);
    }
}

TEST_F(CommandListTest, RowsLeftBetweenPlacesByADragSettleWhenTheListNoLongerReachesThere) {
    list->rebuild(numbered(12));
    const QPoint press = onRow(5);
    QTest::mousePress(list.get(), Qt::LeftButton, {}, press);
    QTest::mouseMove(list.get(), press - QPoint(0, 16));
    QTest::mouseRelease(list.get(), Qt::LeftButton, {}, press - QPoint(0, 16));
    ASSERT_EQ(list->rowTop(0), -240); // less than half a row: left where it was
    list->rebuild(numbered(13));
    EXPECT_EQ(list->rowTop(0), -240); // still reachable: a refresh does not move row 0
    list->rebuild(numbered(11));
    EXPECT_EQ(list->rowTop(0), 0); // eleven rows fit: nothing could scroll them back
    EXPECT_EQ(shownTop(0), 0);
}

TEST_F(CommandListTest, ARightDragDoesNotScroll) {
    list->rebuild(numbered(40));
    const QPoint press = onRow(5);
    QTest::mousePress(list.get(), Qt::RightButton, {}, press);
    QTest::mouseMove(list.get(), QPoint(press.x(), 20));
    EXPECT_EQ(list->rowTop(0), 0);
    QTest::mouseRelease(list.get(), Qt::RightButton, {}, QPoint(press.x(), 20));
}

TEST_F(CommandListTest, TheButtonsOfARowCarryItsRecordsIndex) {
    list->rebuild(numbered(40));
    list->VScroll1()->setValue(20);
    QSignalSpy changes(list.get(), &CommandList::changeRequested);
    QSignalSpy deletes(list.get(), &CommandList::deleteRequested);
    QTest::mouseClick(list.get(), Qt::LeftButton, {}, onRow(25));
    ASSERT_TRUE(list->row(25)->remove()->isVisible());
    QTest::mouseClick(list->row(25)->changer(), Qt::LeftButton);
    QTest::mouseClick(list->row(25)->remove(), Qt::LeftButton);
    ASSERT_EQ(changes.size(), 1);
    EXPECT_EQ(changes.at(0).at(0).toInt(), 25);
    ASSERT_EQ(deletes.size(), 1);
    EXPECT_EQ(deletes.at(0).at(0).toInt(), 25);
    // The selection follows its record through scrolling, not the row control that showed it.
    list->VScroll1()->setValue(10);
    for (int i = 10; i <= 20; ++i)
        EXPECT_FALSE(list->row(i)->isSelected()) << i;
    list->VScroll1()->setValue(20);
    EXPECT_TRUE(list->row(25)->isSelected());
    // Rows 1 and up are made anew by a refresh: unselected.
    list->rebuild(numbered(39));
    EXPECT_EQ(list->selected(), -1);
    EXPECT_FALSE(list->row(25)->changer()->isVisible());
}

TEST_F(CommandListTest, RowZeroShowsTheHypothesisUntilTheGuessIsOver) {
    list->rebuild(numbered(40));
    list->subititle("I am listening [Hypothesis: open the]");
    EXPECT_EQ(list->row(0)->action()->text(), "I am listening [Hypothesis: open the]");
    // Scrolled away and back, row 0 still shows it: scrolling does not show the row again.
    list->VScroll1()->setValue(5);
    list->VScroll1()->setValue(0);
    EXPECT_EQ(list->row(0)->action()->text(), "I am listening [Hypothesis: open the]");
    list->rebuild(numbered(41));
    EXPECT_EQ(list->row(0)->action()->text(), "I am listening [Hypothesis: open the]");
    list->endHypothesis();
    EXPECT_EQ(list->row(0)->action()->text(), "I am listening");
    // Shown again, the row reads its record.
    list->subititle("guess");
    list->hide();
    list->show();
    EXPECT_EQ(list->row(0)->action()->text(), "I am listening");
}

TEST_F(CommandListTest, TheKeyboardMovesTheSelectionAndKeepsItInView) {
    list->rebuild(numbered(40));
    list->setFocus();
    QTest::keyClick(list.get(), Qt::Key_Down);
    EXPECT_EQ(list->selected(), 0);
    QTest::keyClick(list.get(), Qt::Key_End);
    EXPECT_EQ(list->selected(), 39);
    EXPECT_EQ(list->VScroll1()->value(), 29);
    QTest::keyClick(list.get(), Qt::Key_PageUp);
    EXPECT_EQ(list->selected(), 28);
    QTest::keyClick(list.get(), Qt::Key_Home);
    EXPECT_EQ(list->VScroll1()->value(), 0);
    EXPECT_TRUE(list->row(0)->isSelected());
}

} // namespace
} // namespace qz
