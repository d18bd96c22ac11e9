// `fillmenus` over real files in a temporary program folder: which plugin and character files become
// entries, in which order and with which captions, and what choosing an entry (its own QAction) sends.

#include "shell/CommandMenus.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace qz {
namespace {

class CommandMenusTest : public testing::Test {
protected:
    void SetUp() override {
        QDir(dir.path()).mkpath("data");
        QDir(dir.path()).mkpath("character");
        noHead = headMenu.addAction("No head");
    }

    void touch(const QString& relative) {
        QFile file(dir.filePath(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << relative.toStdString();
    }

    QStringList captions(const QList<QAction*>& actions) const {
        QStringList texts;
        for (QAction* action : actions)
            texts << action->text();
        return texts;
    }

    QTemporaryDir dir;
    QMenu headMenu{"Character Head"};
    QAction* noHead = nullptr;
};

TEST_F(CommandMenusTest, OffersEachUsablePluginAndHeadFileSortedByName) {
    struct Case {
        const char* name;
        QStringList files;
        QStringList plugins, heads;
    };
    const Case cases[] = {
        {"no plugins, no heads", {}, {}, {}},
        {"sorted by name", {"data/Backup.qzp", "data/Alarm.qzp"}, {"Alarm", "Backup"}, {}},
        {"letter case does not sort",
         {"data/beta.qzp", "data/Alpha.qzp", "data/Gamma.qzp"},
         {"Alpha", "beta", "Gamma"},
         {}},
        {"cut before the first .qzp", {"data/a.qzp.qzp"}, {"a"}, {}},
        {"plugins match .qzp with its case", {"data/Foo.QZP", "data/bar.Qzp", "data/ok.qzp"}, {"ok"}, {}},
        {"unusable names are left out",
         {"data/.qzp", "data/pipe|name.qzp", "data/line\nbreak.qzp", "data/.hidden.qzp", "data/fine.qzp"},
         {"fine"},
         {}},
        {"other files and folders are not plugins",
         {"data/notes.txt", "data/brain.qzb", "data/x.qzpx"},
         {},
         {}},
        {"a head keeps its whole name",
         {"character/Robot.qzc", "character/currenthead.qzs"},
         {},
         {"Robot.qzc"}},
        {"heads match .qzc in any case",
         {"character/cat.QZC", "character/Sam.qzc", "character/Bob.Qzc"},
         {},
         {"Bob.Qzc", "cat.QZC", "Sam.qzc"}},
        {"an ampersand shows as written",
         {"data/Tom&Jerry.qzp", "character/R&D.qzc"},
         {"Tom&&Jerry"},
         {"R&&D.qzc"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(dir.filePath("data")).removeRecursively();
        QDir(dir.filePath("character")).removeRecursively();
        QDir(dir.path()).mkpath("data/folder.qzp");
        QDir(dir.path()).mkpath("character/folder.qzc");
        for (const QString& file : c.files)
            touch(file);
        CommandMenus menus(ProgramFolder(dir.path()), &headMenu);
        menus.fillmenus();
        EXPECT_EQ(captions(menus.pluginmenu()), c.plugins);
        EXPECT_EQ(captions(menus.mnuAdd()->actions()), c.plugins);
        EXPECT_EQ(captions(menus.nh()), c.heads);
        // "No head" stays first.
        EXPECT_EQ(captions(headMenu.actions()), QStringList{"No head"} + c.heads);
    }
}

TEST_F(CommandMenusTest, ChoosingAnEntrySendsItsPluginOrHead) {
    for (const char* file :
         {"data/Alarm.qzp", "data/Tom&Jerry.qzp", "character/Cat.qzc", "character/Robot.qzc"})
        touch(file);
    CommandMenus menus(ProgramFolder(dir.path()), &headMenu);
    menus.fillmenus();
    QSignalSpy plugins(&menus, &CommandMenus::pluginChosen);
    QSignalSpy heads(&menus, &CommandMenus::headChosen);
    menus.mnuAdd()->actions().at(1)->trigger();
    ASSERT_EQ(plugins.size(), 1);
    EXPECT_EQ(plugins.at(0).at(0).toString(), "Tom&Jerry");
    headMenu.actions().at(2)->trigger();
    ASSERT_EQ(heads.size(), 1);
    EXPECT_EQ(heads.at(0).at(0).toInt(), 2);
    EXPECT_EQ(heads.at(0).at(1).toString(), "Robot.qzc");
    noHead->trigger(); // not one of the filler's entries
    EXPECT_EQ(heads.size(), 1);
    // Filling again replaces the entries instead of adding to them.
    menus.fillmenus();
    EXPECT_EQ(menus.mnuAdd()->actions().size(), 2);
    EXPECT_EQ(headMenu.actions().size(), 3);
}

} // namespace
} // namespace qz
