#include "tests/platform/desktop/QtPrinters.h"

#include "platform/desktop/DesktopError.h"
#include "platform/desktop/QProcessLauncher.h"
#include "platform/desktop/QtClipboard.h"
#include "platform/desktop/QtDocumentOpener.h"
#include "platform/fake/FakeClipboard.h"
#include "platform/fake/FakeKeySender.h"

#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

using namespace qz;

namespace {

// One application for the whole run, on the offscreen platform that CTest selects.
QGuiApplication& app() {
    static int argc = 1;
    static char name[] = "desktop-services-test";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* instance = new QGuiApplication(argc, argv);
    return *instance;
}

QByteArray waitForFile(const QString& path, int timeoutMs = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray data = file.readAll();
            if (data.endsWith('\n')) return data;
        }
        QThread::msleep(20);
    }
    return {};
}

QString writeScript(const QTemporaryDir& dir, const QString& name, bool executable) {
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\nprintf '%s|' \"$@\" > \"$(dirname \"$0\")/out.tmp\"\n"
               "mv \"$(dirname \"$0\")/out.tmp\" \"$(dirname \"$0\")/out.txt\"\necho >> \"$(dirname "
               "\"$0\")/out.txt\"\n");
    file.close();
    if (executable) file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
    return path;
}

TEST(QProcessLauncher, StartsTheProgramWithArgumentsSplitAsAShellWould) {
    QTemporaryDir dir;
    const QString script = writeScript(dir, "my program.sh", true);
    QProcessLauncher().start(QStringLiteral("\"%1\" \"two words\" three").arg(script));
    EXPECT_EQ(waitForFile(dir.filePath("out.txt")), "two words|three|\n");
}

TEST(QProcessLauncher, FindsProgramsInThePath) {
    const QStringList words = QProcessLauncher::resolve(R"(sh -c "exit 0")");
    ASSERT_EQ(words.size(), 3);
    EXPECT_TRUE(words[0].endsWith("/sh")) << words[0].toStdString();
    EXPECT_EQ(words[2], "exit 0");
}

TEST(QProcessLauncher, FailsClearlyWhenThereIsNothingToRun) {
    QTemporaryDir dir;
    const QString notExecutable = writeScript(dir, "plain.sh", false);
    const struct {
        QString line;
        QString message;
    } cases[] = {
        {"quorzel-no-such-program --flag", "The program \"quorzel-no-such-program\" was not found"},
        {"/nonexistent/dir/tool", "The program \"/nonexistent/dir/tool\" was not found"},
        {notExecutable, "is not a program that can be run"},
        {dir.path(), "is not a program that can be run"},
        {"   ", "The command line is empty"},
    };
    for (const auto& c : cases) {
        try {
            QProcessLauncher().start(c.line);
            ADD_FAILURE() << "no error for " << c.line.toStdString();
        } catch (const DesktopError& e) {
            EXPECT_TRUE(QString::fromUtf8(e.what()).contains(c.message)) << e.what();
        }
    }
}

class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void handle(const QUrl& url) { urls.append(url); }
};

TEST(QtDocumentOpener, OpensExistingPathsAndUrlsAndRefusesMissingOnes) {
    app();
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler("file", &recorder, "handle");
    QDesktopServices::setUrlHandler("qztest", &recorder, "handle");
    QTemporaryDir dir;
    const QString document = dir.filePath("notes with space.txt");
    QFile(document).open(QIODevice::WriteOnly);

    QtDocumentOpener opener;
    EXPECT_TRUE(opener.open(document));
    EXPECT_TRUE(opener.open(dir.path()));
    EXPECT_TRUE(opener.open("qztest://somewhere/page with space"));
    EXPECT_TRUE(opener.open("file://" + document));
    EXPECT_FALSE(opener.open(dir.filePath("missing.txt")));
    EXPECT_FALSE(opener.open("file://" + dir.filePath("missing.txt")));
    EXPECT_FALSE(opener.open(""));
    EXPECT_FALSE(opener.open("C:\\Windows\\notepad.exe"));

    QDesktopServices::unsetUrlHandler("file");
    QDesktopServices::unsetUrlHandler("qztest");
    EXPECT_EQ(recorder.urls,
              (QList<QUrl>{QUrl::fromLocalFile(document), QUrl::fromLocalFile(dir.path()),
                           QUrl("qztest://somewhere/page with space"), QUrl::fromLocalFile(document)}));
}

TEST(QtClipboard, ReadsWritesAndCountsChanges) {
    app();
    QtClipboard clipboard;
    const quint64 before = clipboard.changeCount();
    clipboard.setText("first");
    EXPECT_EQ(clipboard.text(), "first");
    clipboard.setText("first");
    QCoreApplication::processEvents();
    EXPECT_GE(clipboard.changeCount(), before + 2) << "copying the same text again is still a change";
}

struct CopyCase {
    const char* name;
    int answerAfterMs; // -1: the focused program copies nothing
    QString answer;
    QString expected;
};

TEST(CopySelectedText, WaitsForTheFocusedProgramToAnswer) {
    app();
    const CopyCase cases[] = {
        {"AnswersAtOnce", 0, "selected text", "selected text"},
        {"AnswersLater", 60, "slow answer", "slow answer"},
        {"CopiesTheSameText", 30, "old text", "old text"},
        {"CopiesNothingAndNoSelectionExists", -1, {}, ""},
    };
    for (const CopyCase& c : cases) {
        SCOPED_TRACE(c.name);
        QtClipboard clipboard;
        clipboard.setText("old text");
        QCoreApplication::processEvents();
        FakeKeySender keys;
        keys.onSend = [&](const KeyStrokes&) {
            if (c.answerAfterMs >= 0)
                QTimer::singleShot(c.answerAfterMs, [&] { clipboard.setText(c.answer); });
        };
        const int timeoutMs = c.answerAfterMs < 0 ? 150 : 3000;
        QElapsedTimer timer;
        timer.start();
        EXPECT_EQ(copySelectedText(keys, clipboard, timeoutMs), c.expected);
        EXPECT_EQ(keys.sent, QStringList{"[Ctrl+c]"});
        if (c.answerAfterMs >= 0)
            EXPECT_LT(timer.elapsed(), 2000)
                << "returned only at the time-out although the clipboard changed";
        else
            EXPECT_GE(timer.elapsed(), 140) << "did not wait for an answer";
    }
}

TEST(CopySelectedText, WhenNothingIsCopiedThePrimarySelectionIsTheAnswer) {
    FakeClipboard clipboard;
    clipboard.setText("old text");
    clipboard.selectionText = "selected in a terminal";
    FakeKeySender keys;
    EXPECT_EQ(copySelectedText(keys, clipboard), "selected in a terminal");
    EXPECT_EQ(clipboard.text(), "old text");
}

TEST(CopySelectedText, KeyErrorsReachTheCaller) {
    FakeKeySender keys;
    keys.failWith = "Pressing keys needs an X11 display";
    FakeClipboard clipboard;
    EXPECT_THROW(copySelectedText(keys, clipboard), DesktopError);
}

} // namespace

#include "DesktopServicesTest.moc"
