// What a recognised phrase does: typed while dictating, handed to the plugin while capturing, otherwise
// the command at the recognised index acts as the dispatch's table decides for the listening state.

#include "engine/Form1.h"
#include "engine/Log.h"
#include "platform/desktop/KeySender.h"
#include "platform/speech/RecoResult.h"
#include "plugins/ScriptRunner.h"
#include "store/CommandRecord.h"

namespace qz {

void Form1::RecoContext_Recognition(const RecoResult& result) {
    const QString text = result.GetText(0, -1, true);
    qCDebug(lcEngine) << "recognised" << text << "grammar" << result.GrammarId() << "index"
                      << result.Properties(1).Children(0).Id();
    if (m_state.isDictating()) {
        // Dictated words are text: "+" or "{" typed as themselves, never pressed as keys.
        try {
            if (m_services.keys)
                m_services.keys->typeText(text);
        } catch (const std::exception& e) {
            m_stat->setText(QString::fromUtf8(e.what()));
        }
    }
    if (m_state.isCapturing()) {
        capturedtext = text;
        // capture is optional: a plugin without it lets the sentence go.
        if (m_services.scripts && m_services.scripts->hasProcedure(QStringLiteral("capture")))
            m_services.scripts->Run(QStringLiteral("capture"));
        return;
    }
    const int index = result.Properties(1).Children(0).Id();
    if (result.GrammarId() != 0)
        return;

    const QString record = m_brainlist.record(index);
    const auto type = CommandRecord::field(record, 1);
    if (!type)
        return;
    auto sayField = [&](int k) {
        if (const auto text = CommandRecord::field(record, k))
            say(*text);
    };

    switch (dispatchDecision(*type, m_state)) {
    case CommandAction::None:
        break;
    case CommandAction::AlreadyListening:
        say(QStringLiteral("Already am sir"));
        break;
    case CommandAction::Activate:
        m_state.activate();
        sayField(2);
        showStatus();
        break;
    case CommandAction::Deactivate:
        sayField(2);
        m_state.deactivate();
        showStatus();
        break;
    case CommandAction::Sleep:
        sayField(2);
        m_state.sleep();
        m_services.options->setSleepEnabled(true);
        showStatus();
        break;
    case CommandAction::RunPlugin:
        runPluginOfRecord(record, true);
        break;
    case CommandAction::Repeat:
        if (lastpluginrecord.isEmpty())
            sayField(3);
        else
            runPluginOfRecord(lastpluginrecord, false);
        break;
    }
    qCDebug(lcEngine) << "status:" << m_stat->text();
}

void Form1::RecoContext_Hypothesis(const RecoResult& result) {
    const QString guess = result.GetText(0, -1, true);
    // Row 0's reply leads the guess; without one the guess stands alone.
    const auto lead = CommandRecord::field(m_brainlist.record(0), 2);
    const QString text = lead ? *lead + QStringLiteral(" [Hypothesis: ") + guess + QLatin1Char(']') : guess;
    m_services.view->subititle(text);
}

} // namespace qz
