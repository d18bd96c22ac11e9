// The program with its real services (PocketSphinx, espeak-ng, the script host) starts and quits cleanly.

#include "app/QuorzelProgram.h"
#include "app/RealServices.h"
#include "engine/Form1.h"
#include "listview/CommandList.h"
#include "platform/audio/AudioOutput.h"
#include "platform/audio/BufferAudioInput.h"
#include "platform/window/ElidedLabel.h"
#include "shell/CommandMenus.h"
#include "shell/OptionsMenu.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace qz {
namespace {

TEST(Program, StartsHiddenInTheTrayAndQuitsFromTheMenu) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("data");
    QDir(dir.path()).mkpath("character");
    QFile::copy(QStringLiteral(QZ_CONTENT_DIR "/data/brain.qzb"), dir.filePath("data/brain.qzb"));
    int exitCode = -1;
    {
        RealServices services(std::make_unique<BufferAudioInput>(), std::make_unique<TimedSilentOutput>());
        PlatformServices platform = services.services();
        platform.systemTrayAvailable = [] { return true; };
        QuorzelProgram program(dir.path(), platform);
        Form1& form = program.form();
        form.Form_Load();
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(form.brainlist().count(), 3);
        ASSERT_NE(form.voice(), nullptr);
        form.speak("Goodbye");
        QTimer::singleShot(200, &form, [&program] { program.options().mnuQuit()->trigger(); });
        exitCode = QApplication::exec();
    }
    EXPECT_EQ(exitCode, 0);
}

// Qt's offscreen platform has no system tray, as GNOME without an extension has none: the program is
// then its main window, with the shipped state commands and plugins.
TEST(Program, WithoutASystemTrayShowsTheMainWindowAtStartUp) {
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("data");
    QDir(dir.path()).mkpath("character");
    for (const QString& file : QDir(QStringLiteral(QZ_CONTENT_DIR "/data")).entryList(QDir::Files))
        QFile::copy(QStringLiteral(QZ_CONTENT_DIR "/data/") + file, dir.filePath("data/" + file));
    RealServices services(std::make_unique<BufferAudioInput>(), std::make_unique<TimedSilentOutput>());
    QuorzelProgram program(dir.path(), services.services());
    Form1& form = program.form();
    form.Form_Load();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(program.list().rowCount(), 3);
    EXPECT_EQ(program.list().row(0)->command()->text(), "computer are you there");
    QStringList plugins;
    for (QAction* entry : program.menus().mnuAdd()->actions())
        plugins << entry->text();
    EXPECT_EQ(plugins,
              (QStringList{"dictation", "keys", "readselection", "repeat", "runprogram", "say", "time"}));
    form.close();
    EXPECT_TRUE(form.isMinimized());
}

} // namespace
} // namespace qz
