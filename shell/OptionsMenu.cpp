#include "shell/OptionsMenu.h"

namespace qz {

OptionsMenu::OptionsMenu(QWidget* parent) : QMenu(QStringLiteral("Options"), parent) {
    setObjectName(QStringLiteral("mnuOptions"));
    brain_ = addAction(QStringLiteral("Show brain"));
    brain_->setObjectName(QStringLiteral("mnuBrain"));
    sleep_ = addAction(QStringLiteral("Activate functions"));
    sleep_->setObjectName(QStringLiteral("mnuSleep"));
    sleep_->setEnabled(false); // only the "sleep" command enables it
    head_ = addMenu(QStringLiteral("Character Head"));
    head_->setObjectName(QStringLiteral("ch"));
    noHead_ = head_->addAction(QStringLiteral("No head"));
    noHead_->setObjectName(QStringLiteral("nh"));
    about_ = addAction(QStringLiteral("About"));
    about_->setObjectName(QStringLiteral("mnuAbout"));
    addSeparator()->setObjectName(QStringLiteral("splitter"));
    quit_ = addAction(QStringLiteral("Quit"));
    quit_->setObjectName(QStringLiteral("mnuQuit"));
    connect(about_, &QAction::triggered, this, &OptionsMenu::mnuAbout_Click);
}

void OptionsMenu::setBrainEnabled(bool enabled) {
    brain_->setEnabled(enabled);
}

void OptionsMenu::setSleepEnabled(bool enabled) {
    sleep_->setEnabled(enabled);
}

void OptionsMenu::mnuAbout_Click() {
    if (!aboutBox_) aboutBox_ = new AboutBox(nullptr);
    aboutBox_->show();
    aboutBox_->raise();
}

} // namespace qz
