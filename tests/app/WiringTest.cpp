// The windows and menus that app/ makes reach the controller's handlers: each path is driven the way the
// user takes it, through the menu's own entries, with fake platform services.

#include "FakePlatform.h"
#include "app/QuorzelProgram.h"
#include "engine/Form1.h"
#include "shell/OptionsMenu.h"
#include "shell/TrayIcon.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace qz {
namespace {

// The whole program over a temporary program folder, on fakes.
class Wiring : public testing::Test, protected test::FakePlatform {
protected:
    void SetUp() override {
        QDir(dir.path()).mkpath("data");
        QDir(dir.path()).mkpath("character");
        QFile brain(dir.filePath("data/brain.qzb"));
        ASSERT_TRUE(brain.open(QIODevice::WriteOnly));
        brain.write("Wake up|activate|At your service\r\nGo quiet|deactivate|Standing by\r\n"
                    "Sleep now|sleep|Good night\r\n");
        brain.close();
        program = std::make_unique<QuorzelProgram>(dir.path(), services(), &messages);
        program->form().Form_Load();
    }

    QTemporaryDir dir;
    std::unique_ptr<QuorzelProgram> program;
};

TEST_F(Wiring, StartUpAddsTheTrayIconWithTheOptionsMenu) {
    EXPECT_TRUE(program->tray().isShown());
    EXPECT_EQ(program->tray().tip(), "Quorzel");
    EXPECT_FALSE(program->form().windowIcon().isNull());
    EXPECT_FALSE(program->options().mnuSleep()->isEnabled());
    EXPECT_TRUE(messages.texts.isEmpty()) << messages.texts.join("\n").toStdString();
}

TEST_F(Wiring, ShowBrainIsEnabledOnlyWhileTheWindowIsHidden) {
    OptionsMenu& menu = program->options();
    Form1& form = program->form();
    emit menu.aboutToShow();
    EXPECT_TRUE(menu.mnuBrain()->isEnabled());
    menu.mnuBrain()->trigger();
    EXPECT_TRUE(form.isVisible());
    emit menu.aboutToShow();
    EXPECT_FALSE(menu.mnuBrain()->isEnabled());
    form.close();
    emit menu.aboutToShow();
    EXPECT_TRUE(menu.mnuBrain()->isEnabled());
}

TEST_F(Wiring, ActivateFunctionsFromTheMenuWakesWithoutListening) {
    Form1& form = program->form();
    recognizer.say("Wake up");
    synthesizer.finishAll();
    recognizer.say("Sleep now");
    synthesizer.finishAll();
    synthesizer.clearLog();
    QAction* entry = program->options().mnuSleep();
    ASSERT_TRUE(entry->isEnabled()); // the sleep command enabled it
    entry->trigger();                // the entry of the menu the program shows, as a user chooses it
    EXPECT_FALSE(form.state().asleep());
    EXPECT_FALSE(form.state().listening());
    EXPECT_EQ(form.stat()->text(), "Not listening");
    EXPECT_EQ(synthesizer.log(), QStringList{"[speak flags=1] All functions now activated"});
    EXPECT_FALSE(entry->isEnabled());
    // Awake again: the activate command acts.
    synthesizer.finishAll();
    recognizer.say("Wake up");
    EXPECT_TRUE(form.state().listening());
}

TEST_F(Wiring, QuitFromTheMenuEndsTheProgram) {
    QTimer::singleShot(0, [this] { program->options().mnuQuit()->trigger(); });
    QTimer::singleShot(5000, [] { QCoreApplication::exit(1); }); // Quit is not wired: fail, not hang
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(program->tray().isShown());
}

} // namespace
} // namespace qz
