#pragma once

// The seams between the controller and the parts of the program around it. Each has a do-nothing
// implementation so that the controller runs before (and without) the part behind it.

#include <QString>

class QWidget;

namespace qz {

class BrainList;

// The character head: loading by name, and the timers its animation runs on.
class HeadPort {
public:
    virtual ~HeadPort() = default;
    virtual void changehead(const QString& name) { (void)name; }
    virtual void startIdle() {}       // the `animate` timer
    virtual void stopIdle() {}
    virtual void startTalking() {}    // the `talktimer` timer
    virtual void stopTalking() {}
    virtual void showRestFrame() {}   // frame 0 in the picture area
};

// The rows of the command list in the main window.
class CommandView {
public:
    virtual ~CommandView() = default;
    // Rebuilds the rows and the scroll range from the list (the refresh's view steps).
    virtual void rebuild(const BrainList& list) { (void)list; }
    // `subititle` of row 0: the recogniser's running guess.
    virtual void subititle(const QString& text) { (void)text; }
    // The widget placed in `brainbox`, or null.
    virtual QWidget* widget() { return nullptr; }
};

// The command editor dialog, as far as the controller needs it.
class CommandEditor {
public:
    virtual ~CommandEditor() = default;
    virtual bool isOpen() const { return false; }
    // `dialogplugin`: the plugin whose editor is open ("" when none is).
    virtual QString dialogplugin() const { return {}; }
    // The text of the phrase box (`Textbox` element 0).
    virtual QString phrase() const { return {}; }
    // Closes the editor and discards its fields (`Unload Form2`).
    virtual void unload() {}
};

// The plugin menu and the head menu.
class MenuFiller {
public:
    virtual ~MenuFiller() = default;
    virtual void fillmenus() {}
};

// Message boxes: the only way the program tells the user about a failure.
class UserMessages {
public:
    virtual ~UserMessages() = default;
    virtual void warning(const QString& title, const QString& text) = 0;
};

} // namespace qz
