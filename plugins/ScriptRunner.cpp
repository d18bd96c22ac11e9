#include "plugins/ScriptRunner.h"

#include "platform/scripthost/ScriptText.h"
#include "platform/ports/UserMessages.h"
#include "platform/scripthost/ScriptErrorText.h"

#include "vbscript/ScriptHost.h"
#include "vbscript/plugin/PluginText.h"

#include <QFile>

namespace qz {

ScriptRunner::ScriptRunner(UserMessages& messages, vbscript::ScriptUi* ui)
    : m_messages(messages), m_host(std::make_unique<vbscript::ScriptHost>(ui)) {
    m_host->setErrorHandler([this](const vbscript::ScriptErrorInfo& error) { onError(error); });
}

ScriptRunner::~ScriptRunner() = default;

std::optional<QString> ScriptRunner::readPluginText(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    return fromScriptText(vbscript::plugin::scriptText(std::string_view(bytes.constData(), std::size_t(bytes.size()))));
}

void ScriptRunner::Reset() { m_host->reset(); }

void ScriptRunner::AddObject(const QString& name, std::shared_ptr<vbscript::HostObject> object) {
    m_host->addObject(toScriptText(name), std::move(object), true);
}

bool ScriptRunner::AddCode(const QString& text, const QString& pluginName) {
    m_pluginName = pluginName;
    return m_host->addCode(toScriptText(text));
}

bool ScriptRunner::Run(const QString& procedure) { return m_host->run(toScriptText(procedure)).has_value(); }

bool ScriptRunner::hasProcedure(const QString& procedure) const { return m_host->hasProcedure(toScriptText(procedure)); }

bool ScriptRunner::stopRequested() const { return m_host->stopRequested(); }

vbscript::ScriptHost& ScriptRunner::host() { return *m_host; }

void ScriptRunner::onError(const vbscript::ScriptErrorInfo& error) {
    m_lastReport = scriptErrorText(error, m_pluginName);
    m_messages.warning(kScriptErrorTitle, m_lastReport);
}

} // namespace qz
