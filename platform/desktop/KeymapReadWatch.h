#pragma once
// Sees a program read the keyboard map: its GetKeyboardMapping and XkbGetMap requests, recorded through the
// X RECORD extension on connections of its own. The XTest sender waits for such a read before it maps its
// spare keys again.
// Depends on: libX11 and libXtst (which holds the RECORD client library).

#include <QByteArray>

#include <chrono>

#include <X11/Xlib.h>
#include <X11/extensions/record.h>

namespace qz {

class KeymapReadWatch {
public:
    explicit KeymapReadWatch(QByteArray displayName);
    ~KeymapReadWatch();
    KeymapReadWatch(const KeymapReadWatch&) = delete;
    KeymapReadWatch& operator=(const KeymapReadWatch&) = delete;

    // Watches the program that owns `window`; false when its reads cannot be seen (no RECORD extension).
    bool follow(Window window);
    // Our change of the map has reached the server: from now on, only a new read counts.
    void mapChanged();
    // True once the program has read the map since the last change; waits at most `ms` for it.
    bool waitForRead(int ms);

private:
    static void intercepted(XPointer self, XRecordInterceptData* data);
    bool hasRead();
    bool open();
    void close();

    QByteArray displayName_;
    Display* control_ = nullptr;
    Display* data_ = nullptr;
    XRecordContext context_ = 0;
    Window window_ = None;
    int xkbOpcode_ = 0;
    int reads_ = 0;          // since the last change
    int readsPerChange_ = 0; // how often the program reads the map for one change; 0 until learned
    std::chrono::steady_clock::time_point lastRead_;
    static constexpr std::chrono::milliseconds kQuiet{2};
    static constexpr std::chrono::milliseconds kLearningQuiet{60};
    bool broken_ = false;
};

} // namespace qz
