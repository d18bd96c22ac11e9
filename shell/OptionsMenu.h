#pragma once

#include "platform/ports/OptionsEntries.h"
#include "shell/AboutBox.h"

#include <QMenu>
#include <QPointer>

namespace qz {

// The pop-up menu "Options": "Show brain", "Activate functions", "Character Head", "About", a separator
// and "Quit", in that order. "About" is handled here; app/ connects the other entries' triggered() signals
// and the menu's aboutToShow() to the controller.
class OptionsMenu : public QMenu, public OptionsEntries {
    Q_OBJECT
public:
    explicit OptionsMenu(QWidget* parent = nullptr);

    QAction* mnuBrain() const { return brain_; }
    QAction* mnuSleep() const { return sleep_; }
    QMenu* ch() const { return head_; }
    QAction* noHead() const { return noHead_; }
    QAction* mnuAbout() const { return about_; }
    QAction* mnuQuit() const { return quit_; }

    void setBrainEnabled(bool enabled) override;
    void setSleepEnabled(bool enabled) override;

    // "About": shows the about box, not modally; an open one is shown again, a closed one made anew.
    void mnuAbout_Click();
    // The about box while it is open.
    AboutBox* aboutBox() const { return aboutBox_; }

private:
    QAction* brain_;
    QAction* sleep_;
    QMenu* head_;
    QAction* noHead_;
    QAction* about_;
    QAction* quit_;
    QPointer<AboutBox> aboutBox_;
};

} // namespace qz
