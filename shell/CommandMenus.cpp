#include "shell/CommandMenus.h"

#include "plugins/PluginDiscovery.h"

#include <QAction>

namespace qz {
namespace {

// A menu takes "&" for the mark of a shortcut letter; a name shows as it is written.
QString menuText(QString name) {
    return name.replace(QLatin1Char('&'), QLatin1String("&&"));
}

} // namespace

CommandMenus::CommandMenus(ProgramFolder folder, QMenu* headMenu, QObject* parent)
    : QObject(parent), folder_(std::move(folder)), add_(QStringLiteral("Add command")), headMenu_(headMenu) {
    add_.setObjectName(QStringLiteral("mnuAdd"));
}

CommandMenus::~CommandMenus() {
    if (headMenu_) qDeleteAll(heads_);
}

void CommandMenus::fillmenus() {
    qDeleteAll(plugins_);
    plugins_.clear();
    int index = 0;
    for (const QString& plugin : discovery::pluginNames(folder_.dataFolder())) {
        QAction* entry = add_.addAction(menuText(plugin));
        entry->setObjectName(QStringLiteral("pluginmenu"));
        entry->setData(++index);
        connect(entry, &QAction::triggered, this, [this, plugin] { emit pluginChosen(plugin); });
        plugins_ << entry;
    }

    if (!headMenu_) return;
    qDeleteAll(heads_);
    heads_.clear();
    index = 0;
    for (const QString& file : discovery::headFiles(folder_.characterFolder())) {
        QAction* entry = headMenu_->addAction(menuText(file));
        entry->setObjectName(QStringLiteral("nh"));
        entry->setData(++index);
        connect(entry, &QAction::triggered, this, [this, index, file] { emit headChosen(index, file); });
        heads_ << entry;
    }
}

} // namespace qz
