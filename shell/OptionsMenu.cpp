#include "shell/OptionsMenu.h"

namespace qz {

OptionsMenu::OptionsMenu(QWidget* parent) : QMenu(QStringLiteral("Options"), parent) {
    setObjectName(QStringLiteral("mnuOptions"));
    m_brain = addAction(QStringLiteral("Show brain"));
    m_brain->setObjectName(QStringLiteral("mnuBrain"));
    m_sleep = addAction(QStringLiteral("Activate functions"));
    m_sleep->setObjectName(QStringLiteral("mnuSleep"));
    m_sleep->setEnabled(false); // only the "sleep" command enables it
    m_head = addMenu(QStringLiteral("Character Head"));
    m_head->setObjectName(QStringLiteral("ch"));
    m_noHead = m_head->addAction(QStringLiteral("No head"));
    m_noHead->setObjectName(QStringLiteral("nh"));
    m_about = addAction(QStringLiteral("About"));
    m_about->setObjectName(QStringLiteral("mnuAbout"));
    addSeparator()->setObjectName(QStringLiteral("splitter"));
    m_quit = addAction(QStringLiteral("Quit"));
    m_quit->setObjectName(QStringLiteral("mnuQuit"));
}

} // namespace qz
