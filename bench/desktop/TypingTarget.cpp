// A window that collects the text of the keys it is sent, for the typing benchmark: prints "ready" once it
// has the focus, then "length:N" whenever the text has grown (at most every 10 ms), and "text:" with the
// percent-encoded text when its input says "dump"; "clear" empties it. It lays out nothing, so what is
// measured is the typing, not a text field's drawing of a long line.

#include <QApplication>
#include <QKeyEvent>
#include <QSocketNotifier>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <cstdio>
#include <unistd.h>

class Collector : public QWidget {
public:
    QString text() const { return text_; }
    void clear() { text_.clear(); }

protected:
    void keyPressEvent(QKeyEvent* event) override { text_ += event->text(); }

private:
    QString text_;
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Collector edit;
    edit.setFocusPolicy(Qt::StrongFocus);
    edit.setWindowTitle("typing target");
    edit.setGeometry(0, 0, 800, 600);
    edit.show();
    edit.activateWindow();
    edit.setFocus();

    QTimer ready;
    QObject::connect(&ready, &QTimer::timeout, [&] {
        if (edit.isActiveWindow() && edit.hasFocus()) {
            ready.stop();
            std::printf("ready\n");
            std::fflush(stdout);
        } else {
            edit.activateWindow();
        }
    });
    ready.start(50);

    qsizetype told = -1;
    QTimer lengths;
    QObject::connect(&lengths, &QTimer::timeout, [&] {
        if (edit.text().size() == told) return;
        told = edit.text().size();
        std::printf("length:%lld\n", static_cast<long long>(told));
        std::fflush(stdout);
    });
    lengths.start(10);

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QByteArray pending;
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[256];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            app.quit();
            return;
        }
        pending.append(buffer, n);
        while (pending.contains('\n')) {
            const QByteArray line = pending.left(pending.indexOf('\n'));
            pending.remove(0, line.size() + 1);
            if (line == "dump") {
                std::printf("text:%s\n", QUrl::toPercentEncoding(edit.text()).constData());
                std::fflush(stdout);
            } else if (line == "clear") {
                edit.clear();
                told = -1;
            }
        }
    });
    QTimer::singleShot(600000, &app, &QCoreApplication::quit);
    return app.exec();
}
