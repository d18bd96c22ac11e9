// What a recognised phrase does: typed while dictating, handed to the plugin while capturing, otherwise
// the command at the recognised index acts according to the listening state.

#include "store/CommandRecord.h"
#include "engine/Form1.h"
#include "engine/Log.h"
#include "platform/desktop/KeySender.h"
#include "platform/speech/Recognizer.h"
#include "platform/speech/RecoContext.h"
#include "platform/speech/RecoResult.h"
#include "platform/speech/SpeechError.h"
#include "plugins/ScriptRunner.h"

namespace qz {

void Form1::newRecoContext() {
    if (!m_services.recognizer)
        throw SpeechError(QStringLiteral("Speech recognition is not available"));
    // Drop the handles into the old context before it goes.
    m_grammar = nullptr;
    m_itemsrule = nullptr;
    m_afterprefix = nullptr;
    m_wholePhrasesRule = nullptr;
    std::unique_ptr<RecoContext> next = m_services.recognizer->createContext();
    // The old context may be delivering the very event whose handler replaces it (Stopdictation from a
    // plugin's capture): it hears nothing any more, and goes once that event has returned.
    if (m_recoContext)
        m_recoContext.release()->deleteLater();
    m_recoContext = std::move(next);
    connect(m_recoContext.get(), &RecoContext::Recognition, this,
            [this](int, qint64, int, const RecoResult& result) { RecoContext_Recognition(result); });
    connect(m_recoContext.get(), &RecoContext::Hypothesis, this,
            [this](int, qint64, const RecoResult& result) { RecoContext_Hypothesis(result); });
}

void Form1::RecoContext_Recognition(const RecoResult& result) {
    const QString text = result.GetText(0, -1, true);
    qCDebug(lcEngine) << "recognised" << text << "grammar" << result.GrammarId() << "index"
                      << result.Properties(1).Children(0).Id();
    if (dictationmode == QStringLiteral("dictating")) {
        // Dictated words are text: "+" or "{" typed as themselves, never pressed as keys.
        try {
            if (m_services.keys)
                m_services.keys->typeText(text);
        } catch (const std::exception& e) {
            m_stat->setText(QString::fromUtf8(e.what()));
        }
    }
    if (dictationmode == QStringLiteral("capturesentence")) {
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
    const QString reply = CommandRecord::field(record, 2).value_or(QString());
    const bool hasReply = CommandRecord::field(record, 2).has_value();
    auto sayReply = [&] {
        if (hasReply)
            say(reply);
    };

    if (*type == QStringLiteral("activate") && listening && voiceidle && !asleep) {
        say(QStringLiteral("Already am sir"));
    } else if (*type == QStringLiteral("activate") && !listening && voiceidle && !asleep) {
        listening = true;
        sayReply();
        m_stat->setText(QStringLiteral("Listening..."));
    } else if (*type == QStringLiteral("deactivate") && listening && voiceidle) {
        sayReply();
        listening = false;
        m_stat->setText(QStringLiteral("Not listening"));
    } else if (*type == QStringLiteral("sleep") && listening && voiceidle && !asleep) {
        sayReply();
        listening = false;
        asleep = true;
        m_services.options->setSleepEnabled(true);
        m_stat->setText(QStringLiteral("Sleeping..."));
    } else if (*type == QStringLiteral("plugin") && listening && voiceidle) {
        runPluginOfRecord(record, true);
    } else if (*type == QStringLiteral("repeat") && listening && voiceidle) {
        if (lastpluginrecord.isEmpty()) {
            if (const auto message = CommandRecord::field(record, 3))
                say(*message);
        } else {
            runPluginOfRecord(lastpluginrecord, false);
        }
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
