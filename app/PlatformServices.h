#pragma once

#include <functional>

namespace qz {

class Clipboard;
class DocumentOpener;
class KeySender;
class Launcher;
class Recognizer;
class Synthesizer;

// The platform services the program runs on, by their roles: the real ones (RealServices) or, in tests,
// fakes. Null leaves a service out, as the controller allows.
struct PlatformServices {
    Recognizer* recognizer = nullptr;
    Synthesizer* synthesizer = nullptr;
    KeySender* keys = nullptr;
    Clipboard* clipboard = nullptr;
    Launcher* launcher = nullptr;
    DocumentOpener* opener = nullptr;
    // Whether the desktop has a system tray; null: ask Qt.
    std::function<bool()> systemTrayAvailable;
};

} // namespace qz
