#pragma once

// What the program's wiring tests run on: every platform service a fake, and the message boxes collected as
// "title: text".

#include "app/PlatformServices.h"
#include "platform/fake/FakeClipboard.h"
#include "platform/fake/FakeDocumentOpener.h"
#include "platform/fake/FakeKeySender.h"
#include "platform/fake/FakeLauncher.h"
#include "platform/fake/FakeRecognizer.h"
#include "platform/fake/FakeSynthesizer.h"
#include "platform/ports/UserMessages.h"

#include <QStringList>

namespace qz::test {

class CollectedMessages : public UserMessages {
public:
    void warning(const QString& title, const QString& text) override { texts << title + ": " + text; }
    QStringList texts;
};

struct FakePlatform {
    PlatformServices services() {
        PlatformServices s;
        s.recognizer = &recognizer;
        s.synthesizer = &synthesizer;
        s.keys = &keys;
        s.clipboard = &clipboard;
        s.launcher = &launcher;
        s.opener = &opener;
        s.systemTrayAvailable = [this] { return trayAvailable; };
        return s;
    }

    FakeRecognizer recognizer;
    FakeSynthesizer synthesizer;
    FakeKeySender keys;
    FakeClipboard clipboard;
    FakeLauncher launcher;
    FakeDocumentOpener opener;
    CollectedMessages messages;
    bool trayAvailable = true; // the desktop has a system tray
};

} // namespace qz::test
