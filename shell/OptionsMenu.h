#pragma once

#include <QMenu>

namespace qz {

// The pop-up menu "Options": "Show brain", "Activate functions", "Character Head", "About", a separator
// and "Quit", in that order. The owner connects the entries' triggered() signals to its handlers.
class OptionsMenu : public QMenu {
    Q_OBJECT
public:
    explicit OptionsMenu(QWidget* parent = nullptr);

    QAction* mnuBrain() const { return m_brain; }
    QAction* mnuSleep() const { return m_sleep; }
    QMenu* ch() const { return m_head; }
    QAction* noHead() const { return m_noHead; }
    QAction* mnuAbout() const { return m_about; }
    QAction* mnuQuit() const { return m_quit; }

private:
    QAction* m_brain;
    QAction* m_sleep;
    QMenu* m_head;
    QAction* m_noHead;
    QAction* m_about;
    QAction* m_quit;
};

} // namespace qz
