#include "plugins/ScriptRunner.h"

#include "platform/ports/UserMessages.h"
#include "platform/scripthost/ScriptErrorText.h"
#include "platform/scripthost/ScriptText.h"

#include "vbscript/ScriptHost.h"
#include "vbscript/plugin/PluginText.h"

#include <QFile>

namespace qz {

ScriptRunner::ScriptRunner(UserMessages& messages, vbscript::ScriptUi* ui)
    : messages_(messages), host_(std::make_unique<vbscript::ScriptHost>(ui)) {
    host_->setErrorHandler([this](const vbscript::ScriptErrorInfo& error) { onError(error); });
}

ScriptRunner::~ScriptRunner() = default;

std::optional<QString> ScriptRunner::readPluginText(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = file.errorString();
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    return fromScriptText(
        vbscript::plugin::scriptText(std::string_view(bytes.constData(), std::size_t(bytes.size()))));
}

void ScriptRunner::Reset() {
    host_->reset();
}

void ScriptRunner::AddObject(const QString& name, std::shared_ptr<vbscript::HostObject> object) {
    host_->addObject(toScriptText(name), std::move(object), true);
}

bool ScriptRunner::AddCode(const QString& text, const QString& pluginName) {
    pluginName_ = pluginName;
    return host_->addCode(toScriptText(text));
}

bool ScriptRunner::Run(const QString& procedure) {
    return host_->run(toScriptText(procedure)).has_value();
}

bool ScriptRunner::hasProcedure(const QString& procedure) const {
    return host_->hasProcedure(toScriptText(procedure));
}

bool ScriptRunner::stopRequested() const {
    return host_->stopRequested();
}

vbscript::ScriptHost& ScriptRunner::host() {
    return *host_;
}

void ScriptRunner::onError(const vbscript::ScriptErrorInfo& error) {
    lastReport_ = scriptErrorText(error, pluginName_);
    messages_.warning(kScriptErrorTitle, lastReport_);
}

} // namespace qz
