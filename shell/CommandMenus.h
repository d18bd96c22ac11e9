#pragma once

// `fillmenus`: the "Add command" menu (`mnuAdd`) with one entry per plugin (`pluginmenu`), and the head
// entries (`nh`) after "No head" in "Character Head". Choosing an entry comes out as a signal that app/
// connects: a plugin to the command editor, a head to the character head.

#include "platform/ports/MenuFiller.h"
#include "store/ProgramFolder.h"

#include <QList>
#include <QMenu>
#include <QObject>
#include <QPointer>

class QAction;

namespace qz {

class CommandMenus : public QObject, public MenuFiller {
    Q_OBJECT
public:
    // `headMenu` is "Character Head" holding "No head"; the head entries leave it with this object.
    CommandMenus(ProgramFolder folder, QMenu* headMenu, QObject* parent = nullptr);
    ~CommandMenus() override;

    void fillmenus() override;

    QMenu* mnuAdd() { return &add_; }
    // The entries made by the last fillmenus, in menu order.
    const QList<QAction*>& pluginmenu() const { return plugins_; }
    const QList<QAction*>& nh() const { return heads_; }

signals:
    // A plugin entry was chosen: the editor opens for a new command with that plugin.
    void pluginChosen(const QString& plugin);
    // Head entry `index` (from 1) was chosen; `caption` is the character file's name.
    void headChosen(int index, const QString& caption);

private:
    ProgramFolder folder_;
    QMenu add_;
    QPointer<QMenu> headMenu_; // its entries go with it
    QList<QAction*> plugins_;
    QList<QAction*> heads_;
};

} // namespace qz
