#include "tests/platform/desktop/QtPrinters.h"

#include "platform/desktop/DesktopError.h"
#include "platform/desktop/XTestKeySender.h"

#include "platform/desktop/QtClipboard.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <gtest/gtest.h>

using namespace qz;

namespace {

// An Xvfb display of our own with a window holding a focused line edit, whose text we read back. This
// process joins the display too (xcb platform), so that it can watch the clipboard as the program would.
class XSession {
public:
    // Empty when everything started; otherwise why not. Xvfb must be installed.
    QString start() {
        const QString xvfb = QStandardPaths::findExecutable("Xvfb");
        // -displayfd: Xvfb picks a free display number and tells us which.
        server.start(xvfb, {"-displayfd", "1", "-screen", "0", "800x600x24", "-nolisten", "tcp"});
        if (!server.waitForStarted(5000)) return "Xvfb did not start";
        QByteArray number;
        while (!number.contains('\n') && server.waitForReadyRead(10000))
            number += server.readAllStandardOutput();
        bool ok = false;
        number.trimmed().toInt(&ok);
        if (!ok) return "Xvfb did not say which display it opened";
        display = ":" + number.trimmed();

        qputenv("DISPLAY", display);
        static int argc = 3;
        static char arg0[] = "xtest-test", arg1[] = "-platform", arg2[] = "xcb";
        static char* argv[] = {arg0, arg1, arg2, nullptr};
        app = std::make_unique<QGuiApplication>(argc, argv);

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "xcb");
        target.setProcessEnvironment(env);
        target.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        target.start(QStringLiteral(QZ_KEY_TARGET), {});
        if (!target.waitForStarted(5000) || !waitForLine("ready")) return "the line edit never got the focus";
        return {};
    }

    ~XSession() {
        for (QProcess* p : {&target, &server}) {
            if (p->state() != QProcess::NotRunning) {
                p->terminate();
                if (!p->waitForFinished(3000)) p->kill();
                p->waitForFinished(3000);
            }
        }
    }

    bool waitForLine(const QByteArray& wanted) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 10000) {
            while (target.canReadLine()) {
                const QByteArray line = target.readLine().chopped(1);
                if (line.startsWith("text:")) text = QUrl::fromPercentEncoding(line.mid(5));
                if (line == wanted) return true;
            }
            target.waitForReadyRead(100);
        }
        return false;
    }

    // The text of the line edit once it equals `expected`, or what it held when we gave up.
    QString waitForText(const QString& expected) {
        QElapsedTimer timer;
        timer.start();
        while (text != expected && timer.elapsed() < 5000)
            waitForLine("text:" + QUrl::toPercentEncoding(expected));
        return text;
    }

    QProcess server;
    QProcess target;
    std::unique_ptr<QGuiApplication> app;
    QByteArray display;
    QString text;
};

class XTestKeySenderOnXvfb : public testing::Test {
protected:
    static void SetUpTestSuite() {
        session_ = new XSession;
        installed_ = !QStandardPaths::findExecutable("Xvfb").isEmpty();
        if (installed_) problem_ = session_->start();
    }

    static void TearDownTestSuite() {
        delete session_;
        session_ = nullptr;
    }

    void SetUp() override {
        if (!installed_) GTEST_SKIP() << "Xvfb is not installed; the XTest sender is not tested";
        ASSERT_TRUE(problem_.isEmpty()) << problem_.toStdString();
        keys_ = std::make_unique<XTestKeySender>(session_->display);
        keys_->pressKeys("^a{BS}");
        session_->waitForText("");
    }

    QString waitForText(const QString& expected) { return session_->waitForText(expected); }

    static XSession* session_;
    static bool installed_;
    static QString problem_; // why the session could not start
    std::unique_ptr<XTestKeySender> keys_;
};

XSession* XTestKeySenderOnXvfb::session_ = nullptr;
bool XTestKeySenderOnXvfb::installed_ = false;
QString XTestKeySenderOnXvfb::problem_;

const char kAlphabets[] =
    "абвгдеёжзийклмнопрстуфхцчшщъыьэюя АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ αβγδεζηθικλμνξοπρστυφχψω";

// Hundreds of characters the keyboard lacks, many times more than it has spare keys: typed batch after
// batch of remapped keys, each waiting for the window to read the map of the one before.
QString chineseText() {
    QString text;
    for (int i = 0; i < 400; ++i)
        text += QChar(char16_t(0x4E00 + (i * 7919) % 300));
    return text;
}

TEST_F(XTestKeySenderOnXvfb, TypesIntoTheFocusedWindow) {
    XTestKeySender& keys = *keys_;
    const struct {
        const char* name;
        bool literal;
        QString input;
        QString expected;
    } cases[] = {
        {"ShiftedCharacters", false, "Hello, World! (1+1)1", "Hello, World! 1!1"},
        {"ModifierGroup", false, "+(abc)d", "ABCd"},
        {"NamedKeysAndRepeats", false, "abcd{LEFT 2}{BS}x{END}~", "axcd"},
        {"LiteralDictation", true, "1+1=2 ^ 100% ~{x}(y)", "1+1=2 ^ 100% ~{x}(y)"},
        {"NotOnTheKeyboard", true, QString::fromUtf8("é€ж😀ΩÆ"), QString::fromUtf8("é€ж😀ΩÆ")},
        // More characters missing from the keyboard than there are free keys to map them to.
        {"ManyNotOnTheKeyboard", true, QString::fromUtf8(kAlphabets), QString::fromUtf8(kAlphabets)},
        {"HundredsNotOnTheKeyboard", true, chineseText(), chineseText()},
        {"ShiftedLettersNotOnTheKeyboard", false, QString::fromUtf8("+(жи)ж+ы"), QString::fromUtf8("ЖИжЫ")},
        {"ControlShortcut", false, "abc^a{DEL}z", "z"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        keys.pressKeys("^a{BS}");
        waitForText("");
        if (c.literal)
            keys.typeText(c.input);
        else
            keys.pressKeys(c.input);
        EXPECT_EQ(waitForText(c.expected), c.expected);
    }

    // Typed text comes out as written while Caps Lock is on.
    keys.pressKeys("^a{BS}{CAPSLOCK}");
    waitForText("");
    keys.typeText("aB1");
    EXPECT_EQ(waitForText("aB1"), "aB1");
    keys.pressKeys("{CAPSLOCK}");
}

TEST_F(XTestKeySenderOnXvfb, CopiesTheSelectionOfTheFocusedWindow) {
    QtClipboard clipboard;
    clipboard.setText("held before");
    keys_->typeText("picked words");
    ASSERT_EQ(waitForText("picked words"), "picked words");
    keys_->pressKeys("+{HOME}");
    EXPECT_EQ(copySelectedText(*keys_, clipboard, 3000), "picked words");

    // Nothing selected: the line edit copies nothing, and the clipboard's older text is not the answer.
    keys_->pressKeys("{END}");
    clipboard.setText("held before");
    QGuiApplication::clipboard()->clear(QClipboard::Selection);
    EXPECT_EQ(copySelectedText(*keys_, clipboard, 300), "");
    EXPECT_EQ(clipboard.text(), "held before");

    // Selected with the mouse in a program that copies nothing on Ctrl+C (a terminal): the primary
    // selection is what is selected.
    QGuiApplication::clipboard()->setText("marked words", QClipboard::Selection);
    EXPECT_EQ(copySelectedText(*keys_, clipboard, 300), "marked words");
}

TEST(XTestKeySender, WithoutADisplayFailsClearly) {
    XTestKeySender keys("quorzel-no-such-host:0");
    try {
        keys.pressKeys("a");
        FAIL() << "no error";
    } catch (const DesktopError& e) {
        EXPECT_STREQ(e.what(), "Pressing keys needs an X11 display");
    }
}

} // namespace
