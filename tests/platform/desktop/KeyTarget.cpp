// A window with one focused line edit for the XTest test: prints "ready" once it has the focus, then
// "text:" and the percent-encoded text when it has changed, at most every 20 ms: printing every change of a
// long text would fill the pipe while the test is still typing, and stall this window.

#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <QUrl>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLineEdit edit;
    edit.setWindowTitle("key target");
    // Cover the screen so that the pointer is over us even when no window manager hands out the focus.
    edit.setGeometry(0, 0, 800, 600);
    QString told;
    QTimer changes;
    QObject::connect(&changes, &QTimer::timeout, [&] {
        if (edit.text() == told) return;
        told = edit.text();
        std::printf("text:%s\n", QUrl::toPercentEncoding(told).constData());
        std::fflush(stdout);
    });
    changes.start(20);
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
    // Never outlive a test that died.
    QTimer::singleShot(60000, &app, &QCoreApplication::quit);
    return app.exec();
}
