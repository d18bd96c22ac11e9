#include "engine/ListeningState.h"

namespace qz {

QString ListeningState::statusText() const {
    if (asleep_) return QStringLiteral("Sleeping...");
    return listening_ ? QStringLiteral("Listening...") : QStringLiteral("Not listening");
}

CommandAction dispatchDecision(QStringView type, const ListeningState& state) {
    const bool listening = state.listening();
    const bool idle = state.voiceidle();
    const bool awake = !state.asleep();
    if (type == u"activate") {
        if (listening && idle && awake) return CommandAction::AlreadyListening;
        if (!listening && idle && awake) return CommandAction::Activate;
    } else if (type == u"deactivate") {
        if (listening && idle) return CommandAction::Deactivate;
    } else if (type == u"sleep") {
        if (listening && idle && awake) return CommandAction::Sleep;
    } else if (type == u"plugin") {
        if (listening && idle) return CommandAction::RunPlugin;
    } else if (type == u"repeat") {
        if (listening && idle) return CommandAction::Repeat;
    }
    return CommandAction::None;
}

} // namespace qz
