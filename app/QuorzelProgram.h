#pragma once

// The whole program: every window, menu and message box made here and handed to the controller, and the
// user's actions in them connected to the controller's handlers. Owns everything it makes.

#include "app/PlatformServices.h"

#include <QString>

#include <memory>

namespace qz {

class CharacterHead;
class CommandList;
class CommandMenus;
class Form1;
class OptionsMenu;
class SettingsEditor;
class TrayIcon;
class UserMessages;

class QuorzelProgram {
public:
    // `programFolder` holds data/ and character/. `messages` replaces the program's message boxes (a test
    // that must not block on one); null: message boxes.
    QuorzelProgram(const QString& programFolder, const PlatformServices& services,
                   UserMessages* messages = nullptr);
    ~QuorzelProgram();

    Form1& form();
    OptionsMenu& options();
    TrayIcon& tray();
    CharacterHead& head();
    CommandList& list();
    CommandMenus& menus();
    SettingsEditor& editor();

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

} // namespace qz
