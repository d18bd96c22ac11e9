#include "platform/desktop/KeymapReadWatch.h"

#include <X11/Xproto.h>
#include <X11/extensions/XKBproto.h>

#include <poll.h>

namespace qz {

KeymapReadWatch::KeymapReadWatch(QByteArray displayName) : displayName_(std::move(displayName)) {}

KeymapReadWatch::~KeymapReadWatch() {
    close();
}

bool KeymapReadWatch::follow(Window window) {
    if (window == None || broken_) return false;
    if (window == window_ && context_) return true;
    close();
    if (!open()) {
        broken_ = true;
        return false;
    }
    // Any resource of a client names that client.
    XRecordClientSpec client = window;
    XRecordRange* range = XRecordAllocRange();
    if (!range) return false;
    range->core_requests.first = range->core_requests.last = X_GetKeyboardMapping;
    range->ext_requests.ext_major.first = range->ext_requests.ext_major.last =
        static_cast<unsigned char>(xkbOpcode_);
    range->ext_requests.ext_minor.first = range->ext_requests.ext_minor.last = X_kbGetMap;
    context_ = XRecordCreateContext(control_, 0, &client, 1, &range, 1);
    XFree(range);
    XSync(control_, False);
    if (!context_ || !XRecordEnableContextAsync(data_, context_, &KeymapReadWatch::intercepted,
                                                reinterpret_cast<XPointer>(this))) {
        close();
        broken_ = true;
        return false;
    }
    window_ = window;
    reads_ = readsPerChange_ = 0;
    return true;
}

void KeymapReadWatch::mapChanged() {
    if (!context_) return;
    // Reads from before the change may still be on their way: they belong to the change before.
    XRecordProcessReplies(data_);
    reads_ = 0;
}

bool KeymapReadWatch::waitForRead(int ms) {
    if (!context_) return true;
    XRecordProcessReplies(data_);
    if (!hasRead()) {
        pollfd fd{ConnectionNumber(data_), POLLIN, 0};
        if (::poll(&fd, 1, ms) > 0) XRecordProcessReplies(data_);
    }
    return hasRead();
}

bool KeymapReadWatch::hasRead() {
    // A program may read the map more than once for one change (Qt reads it twice, once for each
    // notification of the change); it has read it for good only after the last of them. How often it
    // reads is learned at the first change, by waiting until it has long stopped.
    if (reads_ == 0) return false;
    const auto quiet = std::chrono::steady_clock::now() - lastRead_;
    if (readsPerChange_ == 0) {
        if (quiet < kLearningQuiet) return false;
        readsPerChange_ = reads_;
        return true;
    }
    return reads_ >= readsPerChange_ && quiet >= kQuiet;
}

void KeymapReadWatch::intercepted(XPointer self, XRecordInterceptData* data) {
    if (data->category == XRecordFromClient) {
        auto* watch = reinterpret_cast<KeymapReadWatch*>(self);
        ++watch->reads_;
        watch->lastRead_ = std::chrono::steady_clock::now();
    }
    XRecordFreeData(data);
}

bool KeymapReadWatch::open() {
    const char* name = displayName_.isEmpty() ? nullptr : displayName_.constData();
    control_ = XOpenDisplay(name);
    data_ = XOpenDisplay(name);
    int major = 0, minor = 0, event = 0, error = 0;
    if (!control_ || !data_ || !XRecordQueryVersion(control_, &major, &minor) ||
        !XQueryExtension(control_, "XKEYBOARD", &xkbOpcode_, &event, &error)) {
        close();
        return false;
    }
    return true;
}

void KeymapReadWatch::close() {
    if (context_) {
        XRecordDisableContext(control_, context_);
        XRecordFreeContext(control_, context_);
        XSync(control_, False);
        context_ = 0;
    }
    if (data_) XCloseDisplay(data_);
    if (control_) XCloseDisplay(control_);
    data_ = control_ = nullptr;
    window_ = None;
}

} // namespace qz
