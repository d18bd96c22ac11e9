// Characters per second that XTestKeySender types into a real Qt window on Xvfb: plain ASCII, and texts
// whose characters the keyboard map lacks, so that spare keys are mapped to them batch after batch. The
// pause between batches was chosen on the Chinese text; the Cyrillic/Greek and Japanese texts are held out.
// Each text is checked to arrive exactly as sent.

#include "platform/desktop/XTestKeySender.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QUrl>

#include <cstdio>
#include <cstdlib>

namespace {

struct Session {
    QProcess server, target;
    QByteArray display;

    QString start() {
        const QString xvfb = QStandardPaths::findExecutable("Xvfb");
        if (xvfb.isEmpty()) return "Xvfb is not installed";
        server.start(xvfb, {"-displayfd", "1", "-screen", "0", "800x600x24", "-nolisten", "tcp"});
        if (!server.waitForStarted(5000)) return "Xvfb did not start";
        QByteArray number;
        while (!number.contains('\n') && server.waitForReadyRead(10000))
            number += server.readAllStandardOutput();
        display = ":" + number.trimmed();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", QString::fromLatin1(display));
        env.insert("QT_QPA_PLATFORM", "xcb");
        target.setProcessEnvironment(env);
        target.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        target.start(QStringLiteral(QZ_TYPING_TARGET), {});
        if (!target.waitForStarted(5000)) return "the target did not start";
        return waitFor("ready", 10000).isEmpty() ? "the target never got the focus" : QString();
    }

    ~Session() {
        for (QProcess* p : {&target, &server}) {
            if (p->state() == QProcess::NotRunning) continue;
            p->terminate();
            if (!p->waitForFinished(3000)) p->kill();
            p->waitForFinished(3000);
        }
    }

    // The first line starting with `prefix`, or "" after `ms`.
    QByteArray waitFor(const QByteArray& prefix, int ms) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < ms) {
            while (target.canReadLine()) {
                QByteArray line = target.readLine().chopped(1);
                if (line.startsWith(prefix)) return line;
            }
            target.waitForReadyRead(5);
        }
        return {};
    }

    // Seconds until the field holds `length` characters; negative when it never does.
    double waitForLength(qsizetype length, const QElapsedTimer& since) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 120000) {
            const QByteArray line = waitFor("length:", 1000);
            if (qEnvironmentVariableIsSet("QZ_BENCH_DEBUG")) std::fprintf(stderr, "%s\n", line.constData());
            if (line.mid(7).toLongLong() == length) return since.nsecsElapsed() / 1e9;
        }
        return -1;
    }

    QString text() {
        target.write("dump\n");
        return QUrl::fromPercentEncoding(waitFor("text:", 10000).mid(5));
    }
    void clear() {
        target.write("clear\n");
        waitFor("length:0", 2000);
    }
};

// `count` characters drawn from `alphabet` (with a few repeated more often, as in real text).
QString sample(const QString& alphabet, int count, quint32 seed) {
    QRandomGenerator random(seed);
    const QList<uint> letters = alphabet.toUcs4();
    QList<uint> text;
    for (int i = 0; i < count; ++i) {
        const int pick = random.bounded(4) == 0 ? random.bounded(qMin<int>(20, letters.size()))
                                                : random.bounded(int(letters.size()));
        text.append(letters[pick]);
    }
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(text.constData()), text.size());
}

QString range(char32_t from, char32_t to) {
    QList<uint> letters;
    for (char32_t c = from; c <= to; ++c)
        letters.append(c);
    return QString::fromUcs4(reinterpret_cast<const char32_t*>(letters.constData()), letters.size());
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Session session;
    if (const QString why = session.start(); !why.isEmpty()) {
        std::printf("typing: skipped (%s)\n", qPrintable(why));
        return 0;
    }
    qz::XTestKeySender keys(session.display);
    const int kLength = argc > 1 ? std::atoi(argv[1]) : 20000;
    const struct {
        const char* name;
        QString text;
    } texts[] = {
        {"ASCII", sample(range(U' ', U'~'), kLength, 1)},
        {"Chinese, 3,000 distinct characters (tuned)", sample(range(0x4E00, 0x4E00 + 2999), kLength, 2)},
        {"Cyrillic and Greek letters, both cases (held out)",
         sample(range(0x0410, 0x044F) + range(0x0391, 0x03A9) + range(0x03B1, 0x03C9), kLength, 3)},
        {"Japanese kana and kanji (held out)",
         sample(range(0x3041, 0x3096) + range(0x6F00, 0x6FFF), kLength, 4)},
    };
    int status = 0;
    for (const auto& t : texts) {
        session.clear();
        QElapsedTimer timer;
        timer.start();
        keys.typeText(t.text);
        const double sent = timer.nsecsElapsed() / 1e9;
        const double shown = session.waitForLength(t.text.size(), timer);
        const QString got = shown > 0 ? session.text() : QString();
        const bool exact = got == t.text;
        if (!exact && qEnvironmentVariableIsSet("QZ_BENCH_DEBUG")) {
            int wrong = 0, first = -1;
            for (int i = 0; i < qMin(got.size(), t.text.size()); ++i)
                if (got[i] != t.text[i]) {
                    ++wrong;
                    if (first < 0) first = i;
                }
            std::fprintf(stderr, "%d of %d wrong, first at %d (got %d characters)\n", wrong,
                         int(t.text.size()), first, int(got.size()));
        }
        if (!exact) status = 1;
        std::printf("typing %d characters, %s: sent in %.2f s, all shown after %.2f s: %.0f characters/s "
                    "(goal: at least 2,000)%s\n",
                    int(t.text.size()), t.name, sent, shown, shown > 0 ? t.text.size() / shown : 0.0,
                    exact ? "" : "; TEXT ARRIVED WRONG");
    }
    return status;
}
