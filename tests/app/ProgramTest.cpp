// The program with its real services (PocketSphinx, espeak-ng, the script host) starts and quits cleanly.

#include "app/QuorzelProgram.h"
#include "app/RealServices.h"
#include "engine/Form1.h"
#include "platform/audio/AudioOutput.h"
#include "platform/audio/BufferAudioInput.h"
#include "shell/OptionsMenu.h"

#include <QApplication>
#include <QDir>
#include <QFile>
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

} // namespace
} // namespace qz
