// A spoken plugin command (and its repeat) runs the plugin's Main with the command's record.

#include "engine/Form1.h"
#include "engine/ScriptObjects.h"
#include "plugins/ScriptRunner.h"
#include "store/CommandRecord.h"

namespace qz {

void Form1::runPluginOfRecord(const QString& record, bool rememberAsLast) {
    if (!services_.scripts) return;
    const QString name = CommandRecord::field(record, 2).value_or(QString());
    const QString path = services_.programFolder.pluginFile(name);
    QString reason;
    const auto text = ScriptRunner::readPluginText(path, &reason);
    if (!text) {
        // Nothing runs, and the repeat command keeps the last plugin that did.
        services_.messages->warning(
            QStringLiteral("Quorzel"),
            QStringLiteral("The plugin file of the command \"%1\" is missing:\n%2\n\n%3")
                .arg(CommandRecord::field(record, 0).value_or(QString()), path, reason));
        return;
    }
    loadForAction(record, *text);
    if (rememberAsLast) lastpluginrecord = record;
    services_.scripts->Run(QStringLiteral("Main"));
}

void Form1::loadForAction(const QString& record, const QString& text) {
    ScriptRunner& host = *services_.scripts;
    host.Reset();
    ++hostLoads_;
    if (!scriptObjects_) scriptObjects_ = std::make_unique<ScriptObjects>(*this, services_.clipboard);
    host.AddObject(QStringLiteral("QZ"), scriptObjects_->qz());
    host.AddObject(QStringLiteral("clipboard"), scriptObjects_->clipboard());
    pluginrecord = record;
    host.AddCode(text, CommandRecord::field(record, 2).value_or(QString()));
}

} // namespace qz
